#include "editors/outputs_editor.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

using Bytes = std::array<std::uint8_t, OutputsEditor::kOutputs>;

Bytes storedOutputs(const SettingsImage& image)
{
    Bytes bytes{};
    for (int output = 1; output <= OutputsEditor::kOutputs; ++output)
        bytes[output - 1] = image.u8(slot("OCFG", output));
    return bytes;
}

SettingsImage imageWithOutputs(const Bytes& bytes)
{
    SettingsImage image;
    for (int output = 1; output <= OutputsEditor::kOutputs; ++output)
        image.setU8(slot("OCFG", output), bytes[output - 1]);
    return image;
}

SettingsImage openAndOk(SettingsImage image)
{
    OutputsEditor editor;
    editor.unpack(image);
    editor.closedWithOk = true;
    editor.pack(image);
    return image;
}

TEST(OutputsEditor, OkWithoutChangesStoresOneModePerOutput)
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

TEST(OutputsEditor, BoxesOpenAsStoredEvenWithSeveralModes)
{
    OutputsEditor editor;
    editor.unpack(imageWithOutputs({0x0E, 0x02, 0x03, 0x06, 0x08, 0x05}));
    EXPECT_TRUE(editor.thermostats[0].lowSignalling);
    EXPECT_TRUE(editor.thermostats[0].heating);
    EXPECT_TRUE(editor.thermostats[0].cooling);
    EXPECT_EQ(editor.permanent, (std::array{false, false, true, false, false, true}));
    EXPECT_EQ(editor.highSignalling, (std::array{true, true, false}));
    EXPECT_TRUE(editor.thermostats[1].lowSignalling);
    EXPECT_FALSE(editor.thermostats[2].lowSignalling);
    EXPECT_TRUE(editor.thermostats[2].cooling);
    EXPECT_TRUE(editor.wakingHoursOnO4);
    EXPECT_TRUE(editor.alarmStateOnO6);
}

TEST(OutputsEditor, CheckedModeUnchecksTheOtherTwo)
{
    struct Row {
        const char* name;
        ThermostatOutput before;
        ThermostatMode clicked;
        ThermostatOutput after;
    };
    const Row rows[] = {
        {"cooling unchecks low signalling", {true, false, true}, ThermostatMode::Cooling, {false, false, true}},
        {"heating unchecks both others", {true, true, true}, ThermostatMode::Heating, {false, true, false}},
        {"signalling unchecks heating", {true, true, false}, ThermostatMode::LowSignalling, {true, false, false}},
        {"unchecking cooling leaves the others", {true, true, false}, ThermostatMode::Cooling, {true, true, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int thermostat = 0; thermostat < 3; ++thermostat) {
            OutputsEditor editor;
            editor.thermostats.fill({true, false, false});
            editor.thermostats[thermostat] = row.before;
            editor.modeClicked(thermostat, row.clicked);
            for (int other = 0; other < 3; ++other) {
                const ThermostatOutput expected = other == thermostat ? row.after : ThermostatOutput{true, false, false};
                EXPECT_EQ(editor.thermostats[other].lowSignalling, expected.lowSignalling) << other;
                EXPECT_EQ(editor.thermostats[other].heating, expected.heating) << other;
                EXPECT_EQ(editor.thermostats[other].cooling, expected.cooling) << other;
            }
        }
    }
}

TEST(OutputsEditor, SignallingTimeAndBuzzer)
{
    struct Row {
        const char* name;
        int signallingTime;
        bool buzzer;
        std::uint8_t openedMcfg2;
        std::uint8_t storedMcfg2;
    };
    const Row rows[] = {
        {"no end as 0, buzzer set beside other bits", 0, true, 0xBF, 0xFF},
        {"no end as 255, buzzer cleared beside other bits", 255, false, 0xFF, 0xBF},
        {"seconds, buzzer alone", 17, true, 0x00, 0x40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.setU8(slot("MCFG2"), row.openedMcfg2);
        image.setU8(slot("ATIM"), 99);
        OutputsEditor editor;
        editor.unpack(image);
        EXPECT_EQ(editor.signallingTime, 99);
        EXPECT_EQ(editor.buzzer, (row.openedMcfg2 & 0x40) != 0);
        editor.signallingTime = row.signallingTime;
        editor.buzzer = row.buzzer;
        editor.closedWithOk = true;
        editor.pack(image);
        EXPECT_EQ(image.u8(slot("ATIM")), row.signallingTime);
        EXPECT_EQ(image.u8(slot("MCFG2")), row.storedMcfg2);
    }
}

TEST(OutputsEditor, NothingIsStoredUnlessClosedWithOk)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    const SettingsImage before = image;
    OutputsEditor editor;
    editor.closedWithOk = true;
    editor.unpack(image);
    EXPECT_FALSE(editor.closedWithOk);
    editor.permanent.fill(false);
    editor.signallingTime = 5;
    editor.pack(image);
    EXPECT_EQ(image, before);
}

TEST(OutputsEditor, OnlyItsOwnFieldsChange)
{
    SettingsImage image;
    image.bytes().fill(0xFF);
    const SettingsImage stored = openAndOk(image);
    for (std::size_t offset = 0; offset < kImageSize; ++offset) {
        const bool outputByte = offset >= static_cast<std::size_t>(slot("OCFG", 1).offset) &&
                                offset <= static_cast<std::size_t>(slot("OCFG", 6).offset);
        if (!outputByte) {
            EXPECT_EQ(stored.bytes()[offset], 0xFF) << offset;
        }
    }
}

} // namespace
} // namespace telvor
