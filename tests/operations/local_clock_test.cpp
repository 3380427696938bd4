#include "operations/local_clock.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(ClockLine, PrintsYearFrom2000AndTwoDigitsEach)
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 4;
    time.tm_mday = 6;
    time.tm_hour = 7;
    time.tm_min = 5;
    time.tm_sec = 9;
    EXPECT_EQ(clockLine(time), "TIME=26/05/06,07:05:09");
    time.tm_year = 2031 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = 58;
    EXPECT_EQ(clockLine(time), "TIME=31/12/31,23:59:58");
}

} // namespace
} // namespace telvor
