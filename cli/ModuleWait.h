#pragma once

#include "device/ModuleWatcher.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>

// How the command-line tool waits for modules: on the watcher's announcements where the platform
// has a watcher, so that a module is served as soon as it has settled and a removal is seen as it
// happens; by a search repeated every kPollMs where it has none.
class CModuleWait {
public:
    static constexpr int kPollMs = 250;
    // Returns when fd is readable, an interrupt came, or milliseconds (-1: no limit) have passed.
    using WaitReadable = std::function<void(int fd, int milliseconds)>;

    CModuleWait(IModuleWatcher *watcher, WaitReadable waitReadable, std::function<void(int)> sleep,
                std::function<bool()> interrupted);

    // The waits that follow end after this long in all (-1: never).
    void SetLimit(long long milliseconds);
    // After a search that opened nothing: waits until a module has arrived (or, without a watcher,
    // for one poll period). False when interrupted or when the limit is used up.
    bool ForArrival();
    // Waits until the module with this node has gone or an interrupt comes. Without a watcher,
    // listed() tells whether the node is still there.
    void ForRemoval(const std::string &node, const std::function<bool()> &listed);

private:
    bool TimeLeft() const;
    // Waits for the watcher's next events (at most until the limit) and queues them; false when
    // interrupted or out of time first.
    bool NextEvents();

    IModuleWatcher *m_pWatcher;
    WaitReadable m_waitReadable;
    std::function<void(int)> m_sleep;
    std::function<bool()> m_interrupted;
    long long m_nLimitMs = -1;
    long long m_nSleptMs = 0; // without a watcher, time is counted in poll periods slept
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::deque<ModuleEvent> m_pending;
};
