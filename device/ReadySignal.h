#pragma once

#include <cstdint>
#include <initializer_list>

// What tells a waiting owner that something is ready to be taken: a descriptor that turns
// readable (POSIX) or an event object that turns signalled (Windows). Shared code only passes it
// on; each system's half of the waiting knows what it holds.
struct ReadySignal {
    std::intptr_t handle = -1; // the descriptor, or the event's HANDLE; -1 for none
    bool IsNone() const { return handle == -1; }
};

// Waits until one of the signals is ready, or milliseconds (-1: no limit) have passed. Signals
// that are none are left out. The position of a ready signal in the list; -1 when the time ran
// out first.
int WaitForReady(std::initializer_list<ReadySignal> list, int milliseconds);

// A ready signal its owner raises and clears itself: a non-blocking pipe (POSIX), a manual-reset
// event (Windows). Raise may be called from any thread; raised twice, it is still cleared once.
class CReadyFlag {
public:
    CReadyFlag();
    ~CReadyFlag();
    CReadyFlag(const CReadyFlag &) = delete;
    CReadyFlag &operator=(const CReadyFlag &) = delete;

    ReadySignal Signal() const;
    void Raise();
    void Clear();

private:
    std::intptr_t m_handles[2] = {-1, -1}; // the pipe's reading and writing ends, or the event alone
};
