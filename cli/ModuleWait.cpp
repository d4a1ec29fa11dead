#include "cli/ModuleWait.h"

#include <algorithm>
#include <utility>

CModuleWait::CModuleWait(IModuleWatcher *watcher, WaitReadable waitReadable, std::function<void(int)> sleep,
                         std::function<bool()> interrupted)
    : m_pWatcher(watcher), m_waitReadable(std::move(waitReadable)), m_sleep(std::move(sleep)),
      m_interrupted(std::move(interrupted))
{
}

void CModuleWait::SetLimit(long long milliseconds)
{
    m_nLimitMs = milliseconds;
    m_nSleptMs = 0;
    m_start = std::chrono::steady_clock::now();
}

bool CModuleWait::TimeLeft() const
{
    if (m_nLimitMs < 0)
        return true;
    if (!m_pWatcher)
        return m_nSleptMs < m_nLimitMs;
    return std::chrono::steady_clock::now() - m_start < std::chrono::milliseconds(m_nLimitMs);
}

bool CModuleWait::NextEvents()
{
    for (;;) {
        const std::size_t before = m_pending.size();
        for (ModuleEvent &event : m_pWatcher->TakeEvents())
            m_pending.push_back(std::move(event));
        if (m_pending.size() > before)
            return true;
        if (m_interrupted() || !TimeLeft())
            return false;
        long long wait = m_pWatcher->MillisecondsToSettle();
        if (m_nLimitMs >= 0) {
            const auto used = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start);
            const long long left = std::max<long long>(m_nLimitMs - used.count(), 0);
            wait = wait < 0 ? left : std::min(wait, left);
        }
        m_waitReadable(m_pWatcher->FileDescriptor(), static_cast<int>(wait));
    }
}

bool CModuleWait::ForArrival()
{
    if (!m_pWatcher) {
        if (m_interrupted() || !TimeLeft())
            return false;
        m_sleep(kPollMs);
        m_nSleptMs += kPollMs;
        return true;
    }
    do {
        while (!m_pending.empty()) {
            const ModuleEvent::Kind kind = m_pending.front().kind;
            m_pending.pop_front();
            if (kind == ModuleEvent::Kind::Arrived)
                return true;
        }
    } while (NextEvents());
    return false;
}

void CModuleWait::ForRemoval(const std::string &node, const std::function<bool()> &listed)
{
    if (!m_pWatcher) {
        while (!m_interrupted() && listed())
            m_sleep(kPollMs);
        return;
    }
    // However long it takes; arrivals meanwhile stay for the next ForArrival.
    const long long limit = std::exchange(m_nLimitMs, -1);
    do {
        const auto removal = std::find_if(m_pending.begin(), m_pending.end(), [&](const ModuleEvent &event) {
            return event.kind == ModuleEvent::Kind::Removed &&
                   std::find(event.nodes.begin(), event.nodes.end(), node) != event.nodes.end();
        });
        if (removal != m_pending.end()) {
            m_pending.erase(removal);
            break;
        }
    } while (NextEvents());
    m_nLimitMs = limit;
}
