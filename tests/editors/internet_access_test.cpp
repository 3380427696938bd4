#include "editors/internet_access.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace telvor {
namespace {

std::string repeated(std::size_t count)
{
    std::string text;
    for (std::size_t n = 0; n < count; ++n)
        text += static_cast<char>('a' + n % 26);
    return text;
}

TEST(InternetAccess, LongTextsAreCutToTheirFieldWithoutTerminator)
{
    struct Row {
        const char* name;
        std::string InternetAccess::*text;
        Slot field;
        std::size_t typed;
        std::size_t stored;
    };
    const Row rows[] = {
        {"APN name of 40 characters keeps 32", nullptr, slot("APN", 0), 40, 32},
        {"server address of 64 characters fills the field", &InternetAccess::serverAddress, slot("URL0"), 64, 64},
        {"message of 128 characters fills the field", &InternetAccess::message, slot("URL1"), 128, 128},
        {"short message ends with zeros", &InternetAccess::message, slot("URL1"), 3, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.bytes().fill(0xAA);
        InternetAccess editor;
        editor.unpack(image);
        std::string& text = row.text ? editor.*row.text : editor.accessTexts[0];
        text = repeated(row.typed);
        editor.pack(image);
        const auto bytes = image.bytesOf(row.field);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + row.stored), repeated(row.stored));
        for (std::size_t n = row.stored; n < bytes.size(); ++n)
            EXPECT_EQ(bytes[n], 0) << n;
        EXPECT_EQ(image.bytes()[row.field.offset + row.field.width], 0xAA);
        InternetAccess reopened;
        reopened.unpack(image);
        EXPECT_EQ(row.text ? reopened.*row.text : reopened.accessTexts[0], repeated(row.stored));
    }
}

TEST(InternetAccess, EveryTextBoxHasItsOwnField)
{
    SettingsImage image;
    InternetAccess editor;
    for (int n = 0; n < 7; ++n)
        editor.accessTexts[n] = "apn" + std::to_string(n) + repeated(40);
    for (int n = 0; n < 6; ++n)
        editor.emailAddresses[n] = "ead" + std::to_string(n) + "@example.com";
    editor.serverAddress = "www.example.com/in";
    editor.message = "T=@T1";
    editor.pack(image);
    for (int n = 0; n < 7; ++n)
        EXPECT_EQ(image.text(slot("APN", n)), editor.accessTexts[n].substr(0, 32)) << n;
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(image.text(slot("EAD", n)), editor.emailAddresses[n]) << n;
    EXPECT_EQ(image.text(slot("URL0")), "www.example.com/in");
    EXPECT_EQ(image.text(slot("URL1")), "T=@T1");
}

TEST(InternetAccess, AllOnesTextsOpenEmptyAndAreStoredAsZeros)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    InternetAccess editor;
    editor.unpack(image);
    for (const std::string& text : editor.accessTexts)
        EXPECT_EQ(text, "");
    for (const std::string& text : editor.emailAddresses)
        EXPECT_EQ(text, "");
    EXPECT_EQ(editor.serverAddress, "");
    EXPECT_EQ(editor.message, "");
    editor.pack(image);
    for (const Slot& field :
         {slot("APN", 0), slot("APN", 6), slot("EAD", 0), slot("EAD", 5), slot("URL0"), slot("URL1")})
        for (const std::uint8_t byte : image.bytesOf(field))
            EXPECT_EQ(byte, 0) << field.name();
    // The unused stretch between APN6 and EAD0 is not this editor's.
    for (int offset = slot("APN", 6).offset + 32; offset < slot("EAD", 0).offset; ++offset)
        EXPECT_EQ(image.bytes()[offset], 0xFF) << offset;
}

TEST(InternetAccess, NumbersAndFlags)
{
    struct Row {
        const char* name;
        std::uint8_t openedMcfg2;
        int onlyDuringWakingHours;
        std::uint8_t storedMcfg2;
    };
    const Row rows[] = {
        {"hidden WWW authorisation keeps bit 2", 0x04, 0, 0x04},
        {"waking hours cleared, other bits kept", 0xFF, 0, 0xF7},
        {"waking hours set alone", 0x00, 1, 0x08},
        {"waking hours cleared beside bit 2", 0x0C, 0, 0x04},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.setU8(slot("MCFG2"), row.openedMcfg2);
        image.setU16(slot("NUID"), 65535);
        image.setU8(slot("THTP"), 255);
        InternetAccess editor;
        editor.unpack(image);
        EXPECT_EQ(editor.uid, 65535);
        EXPECT_EQ(editor.transmitPeriod, 255);
        EXPECT_EQ(editor.wwwAuthorisation, row.openedMcfg2 >> 2 & 1);
        EXPECT_EQ(editor.onlyDuringWakingHours, row.openedMcfg2 >> 3 & 1);
        editor.onlyDuringWakingHours = row.onlyDuringWakingHours;
        editor.pack(image);
        EXPECT_EQ(image.u8(slot("MCFG2")), row.storedMcfg2);
        EXPECT_EQ(image.bytes()[slot("NUID").offset], 0xFF);
        EXPECT_EQ(image.bytes()[slot("NUID").offset + 1], 0xFF);
        EXPECT_EQ(image.u8(slot("THTP")), 255);
    }
}

TEST(InternetAccess, UidIsStoredLittleEndian)
{
    SettingsImage image;
    InternetAccess editor;
    editor.uid = 0x1234;
    editor.transmitPeriod = 12;
    editor.pack(image);
    EXPECT_EQ(image.bytes()[slot("NUID").offset], 0x34);
    EXPECT_EQ(image.bytes()[slot("NUID").offset + 1], 0x12);
    EXPECT_EQ(image.u8(slot("THTP")), 12);
}

TEST(InternetAccess, OkWithoutChangesLeavesFullWidthTextsAsTheyWere)
{
    SettingsImage image = patternedImage();
    const SettingsImage before = image;
    InternetAccess editor;
    editor.unpack(image);
    editor.pack(image);
    // Each text of the patterned image is one long run without 0x00, cut
    // to its full width, so it comes back byte for byte.
    EXPECT_EQ(changedOffsets(before, image), std::vector<int>{});
}

} // namespace
} // namespace telvor
