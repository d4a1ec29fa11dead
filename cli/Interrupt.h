#pragma once

#include "device/ReadySignal.h"

#include <functional>

// Ctrl-C (and SIGTERM, Ctrl-Break or closing the console) for a tool that must not break a HID
// read in progress. The interrupts are taken apart from the tool's own calls (on POSIX systems by
// a thread of their own, with the signals blocked everywhere else, so no call fails with EINTR):
// the first only sets a flag and raises WakeSignal(), and the tool ends after the module in
// hand; the second says the last words and ends the process at once (status 128 + signal, as a
// shell reports a process a signal ended).
namespace Interrupt {
// Call first thing in main, before any other thread exists: threads inherit the blocked signals.
void Start();
bool Requested();
// Ready once an interrupt is requested, so that a wait for the watcher ends with it; none before
// Start.
ReadySignal WakeSignal();
// What the second interrupt does before the process ends, on the interrupt's own thread (the
// production log's line for the module in hand); nullptr for nothing. Replacing the words waits
// while they are being said.
void SetLastWords(std::function<void()> words);
} // namespace Interrupt
