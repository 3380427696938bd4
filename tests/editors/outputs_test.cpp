#include "editors/outputs.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

using Bytes = std::array<std::uint8_t, kOutputCount>;

Bytes storedOutputs(const SettingsImage& image)
{
    Bytes bytes{};
    for (int output = 1; output <= kOutputCount; ++output)
        bytes[output - 1] = image.u8(slot("OCFG", output));
    return bytes;
}

SettingsImage imageWithOutputs(const Bytes& bytes)
{
    SettingsImage image;
    for (int output = 1; output <= kOutputCount; ++output)
        image.setU8(slot("OCFG", output), bytes[output - 1]);
    return image;
}

SettingsImage openAndOk(SettingsImage image)
{
    Outputs editor;
    editor.unpack(image);
    editor.closedWithOk = 1;
    editor.pack(image);
    return image;
}

TEST(Outputs, OkWithoutChangesStoresOneModePerOutput)
{
    struct Row {
        const char* name;
        Bytes opened;
        Bytes stored;
    };
    const Row rows[] = {
        {"all three modes of O1 keep only heating", {0x0E, 0, 0, 0, 0, 0}, {0x04, 0, 0, 0, 0, 0}},
        {"cooling wins over signalling on O3", {0, 0, 0x0A, 0, 0, 0}, {0, 0, 0x08, 0, 0, 0}},
        {"heating wins over cooling on O5", {0, 0, 0, 0, 0x0C, 0}, {0, 0, 0, 0, 0x04, 0}},
        {"permanent and signalling kept on O5", {0, 0, 0, 0, 0x03, 0}, {0, 0, 0, 0, 0x03, 0}},
        {"all-ones O2 keeps permanent and high signalling", {0, 0xFF, 0, 0, 0, 0}, {0, 0x03, 0, 0, 0, 0}},
        {"all-ones O4 keeps waking hours", {0, 0, 0, 0xFF, 0, 0}, {0, 0, 0, 0x07, 0, 0}},
        {"all-ones O6 keeps alarm state", {0, 0, 0, 0, 0, 0xFF}, {0, 0, 0, 0, 0, 0x07}},
        {"all-ones thermostat outputs keep heating", {0xFF, 0, 0xFF, 0, 0xFF, 0}, {0x05, 0, 0x05, 0, 0x05, 0}},
        {"bits above 3 are dropped", {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0}, {}},
        {"permanent alone on every output", {1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(storedOutputs(openAndOk(imageWithOutputs(row.opened))), row.stored);
    }
}

TEST(Outputs, BoxesOpenAsStoredEvenWithSeveralModes)
{
    Outputs editor;
    editor.unpack(imageWithOutputs({0x0E, 0x02, 0x03, 0x06, 0x08, 0x05}));
    EXPECT_EQ(editor.thermostats[0].lowSignalling, 1);
    EXPECT_EQ(editor.thermostats[0].heating, 1);
    EXPECT_EQ(editor.thermostats[0].cooling, 1);
    EXPECT_EQ(editor.permanent, (std::array{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(editor.highSignalling, (std::array{1, 1, 0}));
    EXPECT_EQ(editor.thermostats[1].lowSignalling, 1);
    EXPECT_EQ(editor.thermostats[2].lowSignalling, 0);
    EXPECT_EQ(editor.thermostats[2].cooling, 1);
    EXPECT_EQ(editor.wakingHoursOnO4, 1);
    EXPECT_EQ(editor.alarmStateOnO6, 1);
}

TEST(Outputs, CheckedModeUnchecksTheOtherTwo)
{
    struct Row {
        const char* name;
        ThermostatOutput before;
        ThermostatMode clicked;
        ThermostatOutput after;
    };
    const Row rows[] = {
        {"cooling unchecks low signalling", {1, 0, 1}, ThermostatMode::Cooling, {0, 0, 1}},
        {"heating unchecks both others", {1, 1, 1}, ThermostatMode::Heating, {0, 1, 0}},
        {"signalling unchecks heating", {1, 1, 0}, ThermostatMode::LowSignalling, {1, 0, 0}},
        {"unchecking cooling leaves the others", {1, 1, 0}, ThermostatMode::Cooling, {1, 1, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int thermostat = 0; thermostat < 3; ++thermostat) {
            Outputs editor;
            editor.thermostats.fill({1, 0, 0});
            editor.thermostats[thermostat] = row.before;
            editor.modeClicked(thermostat, row.clicked);
            for (int other = 0; other < 3; ++other) {
                const ThermostatOutput expected = other == thermostat ? row.after : ThermostatOutput{1, 0, 0};
                EXPECT_EQ(editor.thermostats[other].lowSignalling, expected.lowSignalling) << other;
                EXPECT_EQ(editor.thermostats[other].heating, expected.heating) << other;
                EXPECT_EQ(editor.thermostats[other].cooling, expected.cooling) << other;
            }
        }
    }
}

TEST(Outputs, SignallingTimeAndBuzzer)
{
    struct Row {
        const char* name;
        int signallingTime;
        int buzzer;
        std::uint8_t openedMcfg2;
        std::uint8_t storedMcfg2;
    };
    const Row rows[] = {
        {"no end as 0, buzzer set beside other bits", 0, 1, 0xBF, 0xFF},
        {"no end as 255, buzzer cleared beside other bits", 255, 0, 0xFF, 0xBF},
        {"seconds, buzzer alone", 17, 1, 0x00, 0x40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.setU8(slot("MCFG2"), row.openedMcfg2);
        image.setU8(slot("ATIM"), 99);
        Outputs editor;
        editor.unpack(image);
        EXPECT_EQ(editor.signallingTime, 99);
        EXPECT_EQ(editor.buzzer, row.openedMcfg2 >> 6 & 1);
        editor.signallingTime = row.signallingTime;
        editor.buzzer = row.buzzer;
        editor.closedWithOk = 1;
        editor.pack(image);
        EXPECT_EQ(image.u8(slot("ATIM")), row.signallingTime);
        EXPECT_EQ(image.u8(slot("MCFG2")), row.storedMcfg2);
    }
}

TEST(Outputs, NothingIsStoredUnlessClosedWithOk)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    const SettingsImage before = image;
    Outputs editor;
    editor.closedWithOk = 1;
    editor.unpack(image);
    EXPECT_EQ(editor.closedWithOk, 0);
    editor.permanent.fill(0);
    editor.signallingTime = 5;
    editor.pack(image);
    EXPECT_EQ(image, before);
}

TEST(Outputs, OkWritesOnlyTheOutputBytesAndTheBuzzerBit)
{
    SettingsImage image = patternedImage();
    image.setU8(slot("MCFG2"), 0xBF);
    const SettingsImage before = image;
    const SettingsImage stored = openAndOk(image);
    for (const int offset : changedOffsets(before, stored)) {
        EXPECT_GE(offset, slot("OCFG", 1).offset);
        EXPECT_LE(offset, slot("OCFG", 6).offset);
    }
}

} // namespace
} // namespace telvor
