#include "local_clock.h"

#include "line_format.h"

namespace telvor {

std::tm localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string clockLine(const std::tm& time)
{
    return formatText("TIME=%02d/%02d/%02d,%02d:%02d:%02d",
                      {long{time.tm_year + 1900 - 2000}, long{time.tm_mon + 1}, long{time.tm_mday}, long{time.tm_hour},
                       long{time.tm_min}, long{time.tm_sec}});
}

} // namespace telvor
