#include "common/UtcTime.h"

#include <gtest/gtest.h>

using namespace std::chrono;

// The same moments give the same text on every system: leap days, a moment past 2038 (a 32-bit
// time), the last microsecond of a second (cut, never rounded into ".1000") and one before 1970.
TEST(UtcTime, GivesTheSameTextOnEverySystem)
{
    const struct {
        long long seconds;
        long long microseconds;
        const char *text;
    } cases[] = {
        {0, 0, "1970-01-01T00:00:00.000Z"},
        {1709251199, 999999, "2024-02-29T23:59:59.999Z"},
        {951825600, 7000, "2000-02-29T12:00:00.007Z"},
        {4107542400, 500, "2100-03-01T00:00:00.000Z"},
        {0, -1000, "1969-12-31T23:59:59.999Z"},
    };
    for (const auto &test : cases) {
        const system_clock::time_point time{duration_cast<system_clock::duration>(seconds(test.seconds) +
                                                                                  microseconds(test.microseconds))};
        EXPECT_EQ(IsoUtcTime(time), test.text) << test.seconds << " s " << test.microseconds << " us";
    }
}
