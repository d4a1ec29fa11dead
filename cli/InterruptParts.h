#pragma once

// What each system's interrupt half shares: the flag, the wake signal and the last words.
namespace InterruptParts {
// Makes the wake signal; once, from Start.
void MakeWakeSignal();
// One interrupt, on the thread that takes it: the first sets the flag and raises the wake signal,
// any later one ends the process with exitStatus.
void Take(int exitStatus);
// Says the last words and ends the process at once with exitStatus.
[[noreturn]] void End(int exitStatus);
} // namespace InterruptParts
