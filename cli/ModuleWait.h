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
    using Clock = std::chrono::steady_clock;
    // Returns when the watcher's signal is ready, an interrupt came, or milliseconds (-1: no limit)
    // have passed.
    using WaitReady = std::function<void(ReadySignal watcher, int milliseconds)>;

    CModuleWait(IModuleWatcher *watcher, WaitReady waitReady, std::function<void(int)> sleep,
                std::function<bool()> interrupted, std::function<Clock::time_point()> now = Clock::now);

    // The waits that follow end after this long in all (-1: never).
    void SetLimit(long long milliseconds);
    // After a search that opened nothing: waits until a module has arrived (or, without a watcher,
    // for one poll period). False when interrupted or when the limit is used up.
    bool ForArrival();
    // Waits, however long it takes, until listed() says that none of a module's nodes is listed
    // any more, or an interrupt comes. listed() is asked at once and after each announcement, so
    // a removal whose announcement was taken before the wait does not keep it waiting.
    void ForRemoval(const std::function<bool()> &listed);
    // The module a node belongs to as the watcher knows it; without one, that node alone.
    WatchedModule ModuleOf(const std::string &node) const;

private:
    bool TimeLeft() const;
    // Waits for the watcher's next events (at most until the limit) and queues them; false when
    // interrupted or out of time first.
    bool NextEvents();

    IModuleWatcher *m_pWatcher;
    WaitReady m_waitReady;
    std::function<void(int)> m_sleep;
    std::function<bool()> m_interrupted;
    std::function<Clock::time_point()> m_now;
    long long m_nLimitMs = -1;
    long long m_nSleptMs = 0; // without a watcher, time is counted in poll periods slept
    Clock::time_point m_start;
    std::deque<ModuleEvent> m_pending;
};
