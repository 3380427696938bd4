#include "operations/local_clock.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct ClockCase {
    const char* name;
    int year;
    int month; // 1 to 12
    int day;
    int hour;
    int minute;
    int second;
    const char* line;
};

class ClockLine : public testing::TestWithParam<ClockCase> {};

TEST_P(ClockLine, PrintsYearFrom2000AndTwoDigitsEach)
{
    const ClockCase& row = GetParam();
    std::tm time{};
    time.tm_year = row.year - 1900;
    time.tm_mon = row.month - 1;
    time.tm_mday = row.day;
    time.tm_hour = row.hour;
    time.tm_min = row.minute;
    time.tm_sec = row.second;
    EXPECT_EQ(clockLine(time), row.line);
}

INSTANTIATE_TEST_SUITE_P(Times, ClockLine,
                         testing::Values(ClockCase{"SingleDigits", 2026, 5, 6, 7, 5, 9, "TIME=26/05/06,07:05:09"},
                                         ClockCase{"LastSecondOfAYear", 2031, 12, 31, 23, 59, 58,
                                                   "TIME=31/12/31,23:59:58"}),
                         test_support::RowName());

} // namespace
} // namespace telvor
