#include "editors/csd_serial_port.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct Choice {
    int interface;
    int characterSize;
    int stopBits;
    int parity;
    int speed;
    friend bool operator==(const Choice&, const Choice&) = default;
};

Choice choiceOf(const CsdSerialPort& editor)
{
    return {editor.interface, editor.characterSize, editor.stopBits, editor.parity, editor.speed};
}

TEST(CsdSerialPort, OpensClampedAndStoresWhatItShows)
{
    struct Row {
        const char* name;
        std::uint8_t opened;
        Choice shown;
        std::uint8_t stored;
    };
    const Row rows[] = {
        {"9600 NONE 8-bit 1-bit RS-232", 0x60, {0, 0, 0, 0, 3}, 0x60},
        {"all ones shows 19200 ODD 7-bit 2-bit RS-485", 0xFF, {1, 1, 1, 2, 5}, 0xB7},
        {"parity code 3 becomes ODD", 0x18, {0, 0, 0, 2, 0}, 0x10},
        {"speed code 6 becomes 19200", 0xC0, {0, 0, 0, 0, 5}, 0xA0},
        {"speed code 7 becomes 19200", 0xE0, {0, 0, 0, 0, 5}, 0xA0},
        {"1200 EVEN", 0x08, {0, 0, 0, 1, 0}, 0x08},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.setU8(slot("SCFG"), row.opened);
        CsdSerialPort editor;
        editor.unpack(image);
        EXPECT_TRUE(choiceOf(editor) == row.shown);
        editor.pack(image);
        EXPECT_EQ(image.u8(slot("SCFG")), row.stored);
    }
}

TEST(CsdSerialPort, ChosenButtonsMakeTheByte)
{
    SettingsImage image;
    CsdSerialPort editor;
    editor.speed = 4;
    editor.parity = 1;
    editor.characterSize = 1;
    editor.stopBits = 1;
    editor.interface = 1;
    editor.pack(image);
    EXPECT_EQ(image.u8(slot("SCFG")), 0x8F);
    EXPECT_EQ(image.u8(slot("SCFG", 8)), 0);
}

} // namespace
} // namespace telvor
