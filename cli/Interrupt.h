#pragma once

#include <functional>

// Ctrl-C and SIGTERM for a tool that must not break a HID read in progress. The two signals are
// blocked in every thread and taken by one thread of their own, so no call of the tool's ever
// fails with EINTR: the first signal only sets a flag and wakes WakeDescriptor(), and the tool
// ends after the module in hand; the second ends the process at once (status 128 + signal).
namespace Interrupt {
// Call first thing in main, before any other thread exists: threads inherit the blocked signals.
void Start();
bool Requested();
// Becomes readable once an interrupt is requested, so that a wait in poll() ends with it; -1
// before Start.
int WakeDescriptor();
// What the second interrupt does before the process ends, on the interrupt's own thread (the
// production log's line for the module in hand); nullptr for nothing. Replacing the words waits
// while they are being said.
void SetLastWords(std::function<void()> words);
} // namespace Interrupt
