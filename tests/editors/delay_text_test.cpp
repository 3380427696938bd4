#include "editors/delay_text.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(DelayToText, ShowsCountAndUnitLetter)
{
    const struct {
        const char* name;
        std::uint8_t delay;
        const char* text;
    } rows[] = {
        {"no delay is a zero and a blank", 0x00, "0 "},
        {"0xFF reads as no delay", 0xFF, "0 "},
        {"seconds", 0x1E, "30s"},
        {"minutes", 0x85, "5m"},
        {"zero minutes", 0x80, "0m"},
        {"longest seconds", 0x7F, "127s"},
        {"longest minutes", 0xFE, "126m"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(delayToText(row.delay), row.text) << row.name;
}

TEST(TextToDelay, ReadsCountAndUnit)
{
    constexpr std::uint8_t kPrevious = 0x8A;
    const struct {
        const char* name;
        const char* text;
        std::uint8_t previous;
        std::uint8_t delay;
    } rows[] = {
        {"seconds", "45", kPrevious, 0x2D},
        {"m is minutes", "10m", kPrevious, 0x8A},
        {"min is minutes", "10 min", kPrevious, 0x8A},
        {"apostrophe is minutes", "10'", kPrevious, 0x8A},
        {"capital M is minutes", "10M", kPrevious, 0x8A},
        {"2 hours are 120 minutes", "2h", kPrevious, 0xF8},
        {"g is hours", "2g", kPrevious, 0xF8},
        {"3 hours clamp and avoid 0xFF", "3h", kPrevious, 0xFE},
        {"127 minutes avoid 0xFF", "127m", kPrevious, 0xFE},
        {"500 seconds clamp", "500", kPrevious, 0x7F},
        {"only the integer part of 1.5h", "1.5h", kPrevious, 0xBC},
        {"no unit letter in 30 sec", "30 sec", kPrevious, 0x1E},
        {"zero minutes", "0m", kPrevious, 0x80},
        {"zero seconds", "0", kPrevious, 0x00},
        {"shown no delay reads back", "0 ", kPrevious, 0x00},
        {"negative clamps to zero", "-5m", kPrevious, 0x80},
        {"first unit letter wins", "5 hm", kPrevious, 0xFE},
        {"minute letter before hour letter", "5 mh", kPrevious, 0x85},
        {"huge count clamps", "99999999999999h", kPrevious, 0xFE},
        {"empty box keeps the previous delay", "", kPrevious, kPrevious},
        {"a unit alone keeps the previous delay", "m", kPrevious, kPrevious},
        {"previous 0xFF is kept as no delay", "x", 0xFF, 0x00},
    };
    for (const auto& row : rows)
        EXPECT_EQ(textToDelay(row.text, row.previous), row.delay) << row.name;
}

TEST(Delay, EveryStorableDelaySurvivesItsText)
{
    for (int delay = 0; delay < 0xFF; ++delay) {
        const auto value = static_cast<std::uint8_t>(delay);
        EXPECT_EQ(textToDelay(delayToText(value), 0x33), value) << delay;
    }
}

} // namespace
} // namespace telvor
