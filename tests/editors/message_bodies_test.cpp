#include "editors/message_bodies.h"
#include "editors/variable_codes.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(MessageBodies, OpensEveryFieldInSmsOrder)
{
    SettingsImage image;
    for (int index = 0; index < 10; ++index)
        putBytes(image, slot("SMS", index), "body " + std::to_string(index) + " @U1|@LEV");
    MessageBodies messages;
    messages.unpack(image);
    for (int index = 0; index < 10; ++index)
        EXPECT_EQ(messages.bodies[index], "body " + std::to_string(index) + " @U1|@LEV");
    EXPECT_EQ(slot("SMS", 0).offset, 163);
    EXPECT_EQ(slot("SMS", 9).offset, 1603);
}

TEST(MessageBodies, BodyOf160CharactersFillsTheFieldAndLeavesTheNextAlone)
{
    SettingsImage image = patternedImage();
    const SettingsImage before = image;
    MessageBodies messages;
    messages.unpack(image);
    const std::string full(160, 'x');
    messages.bodies[3] = full;
    messages.pack(image);
    EXPECT_EQ(bytesAt(image, slot("SMS", 3)), full);
    EXPECT_EQ(bytesAt(image, slot("SMS", 4)), bytesAt(before, slot("SMS", 4)));
    EXPECT_EQ(bytesAt(image, slot("SMS", 2)), bytesAt(before, slot("SMS", 2)));
    MessageBodies reopened;
    reopened.unpack(image);
    EXPECT_EQ(reopened.bodies[3], full);
}

TEST(MessageBodies, LongerBodyIsCutTo160Characters)
{
    SettingsImage image;
    MessageBodies messages;
    messages.unpack(image);
    messages.bodies[9] = std::string(160, 'a') + "bcd";
    messages.pack(image);
    EXPECT_EQ(bytesAt(image, slot("SMS", 9)), std::string(160, 'a'));
    EXPECT_EQ(image.bytes()[slot("SMS", 9).offset + 160], 0);
}

TEST(MessageBodies, ShortBodyIsPaddedWithZeros)
{
    SettingsImage image;
    image.bytes().fill(0xAA);
    MessageBodies messages;
    messages.unpack(image);
    messages.bodies[1] = "L1 @SL|L1 ok";
    messages.pack(image);
    EXPECT_EQ(bytesAt(image, slot("SMS", 1)), "L1 @SL|L1 ok" + std::string(148, '\0'));
}

TEST(MessageBodies, AllOnesFieldOpensEmptyAndIsStoredAsZeros)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    const SettingsImage before = image;
    MessageBodies messages;
    messages.unpack(image);
    EXPECT_EQ(messages.bodies[0], "");
    messages.pack(image);
    EXPECT_EQ(bytesAt(image, slot("SMS", 0)), std::string(160, '\0'));
    const std::vector<int> changed = changedOffsets(before, image);
    ASSERT_EQ(changed.size(), 1600u);
    EXPECT_EQ(changed.front(), 163);
    EXPECT_EQ(changed.back(), 1762);
}

TEST(MessageBodies, TextsAreBytesWithoutConversion)
{
    SettingsImage image;
    MessageBodies messages;
    messages.unpack(image);
    messages.bodies[5] = "\xA3\xF3\x64\x9F \x80 \xFE";
    messages.pack(image);
    EXPECT_EQ(image.text(slot("SMS", 5)), "\xA3\xF3\x64\x9F \x80 \xFE");
}

TEST(VariableCodes, TextHasItsEightyNineLines)
{
    const std::string text = variableCodesText();
    EXPECT_EQ(text.size(), 3795u);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 89u);
    EXPECT_EQ(lines[0], "@NL - number of the triggered input (1...8)");
    EXPECT_EQ(lines[14], "@Ox - state (ON/OFF) of the output x (x=1...6) ");
    EXPECT_EQ(lines[17], "      (similar as state of the input Lx)");
    EXPECT_EQ(lines[19], "@TIME - date and time from Real Time Clock ");
    EXPECT_EQ(lines[43], "@XD1...@XD16 - raw meas. result from  XL1...XL16 (*0.1)");
    EXPECT_EQ(lines[51], "@XSA - state L/H of the inputs XL1...XL8 ");
    EXPECT_EQ(lines[60], "@C1D = 6*C1C");
    EXPECT_EQ(lines[73], "@SAL - alarm state activity flag (1=active) ");
    EXPECT_EQ(lines[77], "Measurement results from energy meter (type: OR-WE-504):");
    EXPECT_EQ(lines[78], "@XD9    - voltage rms (xxx.x V)");
    EXPECT_EQ(lines[87], "| (pipe) - divide message body on two or three parts (HL | LH | Norm)");
    EXPECT_EQ(lines[88], "      or two / three screens for LCD");
    const std::vector<std::size_t> emptyLines{4, 19, 28, 36, 45, 58, 66, 77, 87};
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        const bool empty = std::find(emptyLines.begin(), emptyLines.end(), number) != emptyLines.end();
        EXPECT_EQ(lines[number - 1].empty(), empty) << "line " << number;
    }
}

} // namespace
} // namespace telvor
