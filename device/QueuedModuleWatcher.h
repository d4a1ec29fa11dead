#pragma once

#include "device/ModuleWatcher.h"

#include <mutex>

// The shared half of a watcher whose system announces interfaces on a thread of the watcher's own:
// that thread queues what comes and goes under a lock and raises the ready signal; TakeEvents and
// ModuleOf, on the owner's thread, hand the queue to the settler and clear the signal. Every node
// it is given or asked about is taken in the watcher's spelling (WatchedNode).
class CQueuedModuleWatcher : public IModuleWatcher {
public:
    ReadySignal Ready() const override { return m_ready.Signal(); }
    std::vector<ModuleEvent> TakeEvents() override;
    int MillisecondsToSettle() const override;
    std::optional<WatchedModule> ModuleOf(const std::string &node) override;

    // From any thread: an interface that came, at the time it came, or one that went.
    void QueueAdded(InterfaceAnnouncement announcement, CModuleSettler::Clock::time_point at);
    void QueueRemoved(const std::string &node);

protected:
    // On the owner's thread, before the first TakeEvents: an interface there before watching began.
    void Present(InterfaceAnnouncement announcement);
    bool HasSignal() const { return !m_ready.Signal().IsNone(); }

private:
    struct Notice {
        bool bAdded;
        InterfaceAnnouncement announcement; // the node alone for one that went
        CModuleSettler::Clock::time_point at;
    };
    void Queue(Notice notice);
    void Receive();

    CModuleSettler m_settler;
    CReadyFlag m_ready;
    std::mutex m_lock; // guards m_notices, and the signal's state with it
    std::vector<Notice> m_notices;
};
