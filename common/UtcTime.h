#pragma once

#include <chrono>
#include <string>

// The moment in UTC to the millisecond, "2026-12-07T12:40:00.123Z": the form of the production log.
// The milliseconds are cut, not rounded, so a moment stays within its second. The calendar is
// C++'s own, the same on every system: no C library is asked (Windows' gmtime_s refuses moments
// before 1970, and a 32-bit time_t ends in 2038).
std::string IsoUtcTime(std::chrono::system_clock::time_point time);
