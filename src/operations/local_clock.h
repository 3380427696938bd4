// The PC's local time (time zone and daylight saving applied), which sets the
// device clock. Tests put a fixed time in its place.
#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace telvor {

using LocalClock = std::function<std::tm()>;

std::tm localTimeNow();

// "TIME=yy/mm/dd,hh:mm:ss" with the year counted from 2000.
std::string clockLine(const std::tm& time);

} // namespace telvor
