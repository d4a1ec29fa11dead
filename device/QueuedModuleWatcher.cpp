#include "device/QueuedModuleWatcher.h"

#include <utility>

void CQueuedModuleWatcher::QueueAdded(InterfaceAnnouncement announcement, CModuleSettler::Clock::time_point at)
{
    announcement.node = WatchedNode(announcement.node);
    Queue({true, std::move(announcement), at});
}

void CQueuedModuleWatcher::QueueRemoved(const std::string &node)
{
    InterfaceAnnouncement gone;
    gone.node = WatchedNode(node);
    Queue({false, std::move(gone), {}});
}

void CQueuedModuleWatcher::Queue(Notice notice)
{
    const std::lock_guard lock(m_lock);
    m_notices.push_back(std::move(notice));
    m_ready.Raise();
}

void CQueuedModuleWatcher::Present(InterfaceAnnouncement announcement)
{
    announcement.node = WatchedNode(announcement.node);
    m_settler.Present(announcement);
}

void CQueuedModuleWatcher::Receive()
{
    std::vector<Notice> notices;
    {
        const std::lock_guard lock(m_lock);
        notices.swap(m_notices);
        m_ready.Clear();
    }
    for (const Notice &notice : notices) {
        if (notice.bAdded)
            m_settler.Added(notice.announcement, notice.at);
        else
            m_settler.Removed(notice.announcement.node);
    }
}

std::vector<ModuleEvent> CQueuedModuleWatcher::TakeEvents()
{
    Receive();
    return m_settler.TakeDue(CModuleSettler::Clock::now());
}

int CQueuedModuleWatcher::MillisecondsToSettle() const
{
    return m_settler.MillisecondsToSettle(CModuleSettler::Clock::now());
}

std::optional<WatchedModule> CQueuedModuleWatcher::ModuleOf(const std::string &node)
{
    Receive();
    // What was read here makes events for TakeEvents: the owner hears of them as of any notice.
    if (m_settler.HasEvents()) {
        const std::lock_guard lock(m_lock);
        m_ready.Raise();
    }
    return m_settler.ModuleOf(WatchedNode(node));
}
