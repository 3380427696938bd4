#include "image/answer_keys.h"
#include "image/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace telvor {
namespace {

std::string builtDefaults()
{
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    return buildDirectory ? std::string(buildDirectory) + "/default_en.tvr" : std::string();
}

TEST(DefaultSettings, LieBesideTheProgramsAsAWholeImage)
{
    ASSERT_TRUE(std::filesystem::exists(builtDefaults())) << builtDefaults();
    EXPECT_EQ(std::filesystem::file_size(builtDefaults()), kImageSize);
}

TEST(DefaultSettings, HoldTheFactoryValues)
{
    SettingsImage image;
    ASSERT_TRUE(readSettingsFile(builtDefaults(), image).ok);
    EXPECT_EQ(image.number(slot("TRPT")), 60);
    EXPECT_EQ(image.number(slot("COPS")), 0);
    EXPECT_EQ(image.number(slot("HIST1")), 50);
    EXPECT_EQ(image.number(slot("HIST2")), 50);
    for (int input = 1; input <= 8; ++input) {
        EXPECT_EQ(image.number(slot("ULO", input)), 1000);
        EXPECT_EQ(image.number(slot("UHI", input)), 3000);
        EXPECT_EQ(image.text(slot("SMS", input)), "Alarm L" + std::to_string(input) + ": @UL @SL");
    }
    EXPECT_TRUE(image.text(slot("SMS", 0)).starts_with("Telvor report @RTC: L1 @U1"));
    EXPECT_TRUE(image.text(slot("SMS", 9)).starts_with("Telvor status @RTC:"));
    EXPECT_EQ(image.text(slot("XMS", 12)), "Alarm XL12: @XU12 @XS12");
    EXPECT_EQ(image.text(slot("XMS", 17)), "Communication check @RTC");
}

// Only the fields named in the defaults' text hold anything; after a text's
// end every byte is zero too.
TEST(DefaultSettings, EveryOtherByteIsZero)
{
    SettingsImage image;
    ASSERT_TRUE(readSettingsFile(builtDefaults(), image).ok);
    std::vector<bool> named(kImageSize, false);
    const auto name = [&named](const Slot& element, int length) {
        for (int byte = 0; byte < length; ++byte)
            named[element.offset + byte] = true;
    };
    for (const char* key : {"TRPT", "HIST1", "HIST2"})
        name(slot(key), slot(key).width);
    for (int input = 1; input <= 8; ++input) {
        name(slot("ULO", input), 2);
        name(slot("UHI", input), 2);
    }
    for (int body = 0; body <= 9; ++body)
        name(slot("SMS", body), static_cast<int>(image.text(slot("SMS", body)).size()));
    for (int body = 1; body <= 17; ++body)
        name(slot("XMS", body), static_cast<int>(image.text(slot("XMS", body)).size()));
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        if (!named[offset]) {
            EXPECT_EQ(image.bytes()[offset], 0) << "offset " << offset;
        }
}

} // namespace
} // namespace telvor
