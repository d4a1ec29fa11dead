#pragma once

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
} // namespace Interrupt
