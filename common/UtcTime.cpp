#include "common/UtcTime.h"

#include <cstdio>

std::string IsoUtcTime(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    // floor, not a cast: a moment before 1970 belongs to the day and second that began before it.
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss<milliseconds> clock{floor<milliseconds>(time - day)};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
    return text;
}
