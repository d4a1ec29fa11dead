#include "cli/ModuleWait.h"

#include <algorithm>
#include <utility>

CModuleWait::CModuleWait(IModuleWatcher *watcher, WaitReady waitReady, std::function<void(int)> sleep,
                         std::function<bool()> interrupted, std::function<Clock::time_point()> now)
    : m_pWatcher(watcher), m_waitReady(std::move(waitReady)), m_sleep(std::move(sleep)),
      m_interrupted(std::move(interrupted)), m_now(std::move(now)), m_start(m_now())
{
}

void CModuleWait::SetLimit(long long milliseconds)
{
    m_nLimitMs = milliseconds;
    m_nSleptMs = 0;
    m_start = m_now();
}

bool CModuleWait::TimeLeft() const
{
    if (m_nLimitMs < 0)
        return true;
    if (!m_pWatcher)
        return m_nSleptMs < m_nLimitMs;
    return m_now() - m_start < std::chrono::milliseconds(m_nLimitMs);
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
            const auto used = std::chrono::duration_cast<std::chrono::milliseconds>(m_now() - m_start);
            const long long left = std::max<long long>(m_nLimitMs - used.count(), 0);
            wait = wait < 0 ? left : std::min(wait, left);
        }
        m_waitReady(m_pWatcher->Ready(), static_cast<int>(wait));
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

void CModuleWait::ForRemoval(const std::function<bool()> &listed)
{
    if (!m_pWatcher) {
        while (!m_interrupted() && listed())
            m_sleep(kPollMs);
        return;
    }
    // However long it takes; arrivals meanwhile stay for the next ForArrival, removals say only
    // that it is time to look again.
    const long long limit = std::exchange(m_nLimitMs, -1);
    while (listed() && NextEvents())
        std::erase_if(m_pending, [](const ModuleEvent &event) { return event.kind == ModuleEvent::Kind::Removed; });
    m_nLimitMs = limit;
}

WatchedModule CModuleWait::ModuleOf(const std::string &node) const
{
    if (m_pWatcher) {
        if (std::optional<WatchedModule> module = m_pWatcher->ModuleOf(node))
            return std::move(*module);
    }
    return {{}, {node}};
}
