#include "history/history_time.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace telvor {

namespace {

std::string formatted(const std::tm& time, const char* format)
{
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &time);
    return std::string(text, length);
}

// Whole seconds towards the past, so that a time before 1970 keeps its
// milliseconds positive.
std::time_t secondsOf(std::int64_t ms)
{
    return static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
}

} // namespace

std::int64_t currentTimeMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string isoUtcText(std::int64_t ms)
{
    const std::time_t seconds = secondsOf(ms);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char milliseconds[8];
    std::snprintf(milliseconds, sizeof milliseconds, ".%03d", static_cast<int>(ms - std::int64_t{seconds} * 1000));
    return formatted(utc, "%Y-%m-%dT%H:%M:%S") + milliseconds + "Z";
}

std::string localTimeText(std::int64_t ms)
{
    const std::time_t seconds = secondsOf(ms);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return formatted(local, "%Y-%m-%d %H:%M:%S");
}

} // namespace telvor
