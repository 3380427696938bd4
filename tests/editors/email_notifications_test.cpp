#include "editors/email_notifications.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace telvor {
namespace {

const Slot kReport = slot("RCFG", Field::kNotIndexed, 2);

TEST(EmailNotifications, OkWithoutChangesRebuildsEveryByte)
{
    struct Row {
        const char* name;
        Slot field;
        std::uint8_t opened;
        std::uint8_t stored;
    };
    const Row rows[] = {
        {"SEML3 drops bits 6 and 7, keeps the hidden JPG bit", slot("SEML", 3), 0xE1, 0x21},
        {"SEML1 all ones", slot("SEML", 1), 0xFF, 0x3F},
        {"SEML8 recipients 2 and 5", slot("SEML", 8), 0x12, 0x12},
        {"report all ones", kReport, 0xFF, 0x3F},
        {"log targets drop bit 7", slot("SLGT"), 0xFF, 0x7F},
        {"SLOG all ones opens as hour 31 every 7 days", slot("SLOG"), 0xFF, 0x7F},
        {"SLOG hour 6 every 7 days", slot("SLOG"), 0x66, 0x66},
        {"SLOG hour 31 daily", slot("SLOG"), 0x1F, 0x1F},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.setU8(row.field, row.opened);
        EmailNotifications editor;
        editor.unpack(image);
        editor.pack(image);
        EXPECT_EQ(image.u8(row.field), row.stored);
    }
}

TEST(EmailNotifications, SendingHourAndPeriod)
{
    struct Row {
        const char* name;
        int sendingHour;
        int sendPeriod;
        std::uint8_t stored;
    };
    const Row rows[] = {
        {"hour 6 every 7 days", 6, 3, 0x66},
        {"hour 31 daily", 31, 0, 0x1F},
        {"hour 0 every 2 days", 0, 1, 0x20},
        {"hour 23 every 3 days", 23, 2, 0x57},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.setU8(slot("SLOG"), 0xFF);
        EmailNotifications editor;
        editor.unpack(image);
        EXPECT_EQ(editor.sendingHour, 31);
        EXPECT_EQ(editor.sendPeriod, 3);
        editor.sendingHour = row.sendingHour;
        editor.sendPeriod = row.sendPeriod;
        editor.pack(image);
        EXPECT_EQ(image.u8(slot("SLOG")), row.stored);
        EmailNotifications reopened;
        reopened.unpack(image);
        EXPECT_EQ(reopened.sendingHour, row.sendingHour);
        EXPECT_EQ(reopened.sendPeriod, row.sendPeriod);
    }
}

TEST(EmailNotifications, EachBoxSetsItsOwnBit)
{
    struct Row {
        const char* name;
        void (*check)(EmailNotifications&);
        Slot field;
        std::uint8_t stored;
    };
    const Row rows[] = {
        {"input L1, e-mail 1", [](EmailNotifications& e) { e.inputs[0].recipients[0] = 1; }, slot("SEML", 1), 0x01},
        {"input L4, e-mail 3", [](EmailNotifications& e) { e.inputs[3].recipients[2] = 1; }, slot("SEML", 4), 0x04},
        {"input L8, e-mail 5", [](EmailNotifications& e) { e.inputs[7].recipients[4] = 1; }, slot("SEML", 8), 0x10},
        {"input L5, JPG", [](EmailNotifications& e) { e.inputs[4].jpgPicture = 1; }, slot("SEML", 5), 0x20},
        {"report, e-mail 2", [](EmailNotifications& e) { e.report.recipients[1] = 1; }, kReport, 0x02},
        {"report, JPG", [](EmailNotifications& e) { e.report.jpgPicture = 1; }, kReport, 0x20},
        {"log to e-mail 4", [](EmailNotifications& e) { e.logRecipients[3] = 1; }, slot("SLGT"), 0x08},
        {"erase log after sending", [](EmailNotifications& e) { e.eraseLogAfterSending = 1; }, slot("SLGT"), 0x20},
        {"send also measurement records", [](EmailNotifications& e) { e.sendMeasurementRecords = 1; }, slot("SLGT"),
         0x40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SettingsImage image;
        image.bytes().fill(0xFF);
        EmailNotifications editor;
        row.check(editor);
        editor.pack(image);
        EXPECT_EQ(image.u8(row.field), row.stored);
        for (int input = 1; input <= 8; ++input) {
            if (slot("SEML", input).offset != row.field.offset) {
                EXPECT_EQ(image.u8(slot("SEML", input)), 0) << input;
            }
        }
        // ADEL1 follows the report byte and is not this editor's.
        EXPECT_EQ(image.u8(slot("ADEL", 1)), 0xFF);
    }
}

TEST(EmailNotifications, OkWritesOnlyItsBytes)
{
    std::vector<int> owned{slot("SLOG").offset, slot("SLGT").offset, kReport.offset};
    for (int input = 1; input <= 8; ++input)
        owned.push_back(slot("SEML", input).offset);
    SettingsImage image;
    image.bytes().fill(0xFF);
    const SettingsImage before = image;
    EmailNotifications editor;
    editor.unpack(image);
    editor.pack(image);
    for (const int offset : changedOffsets(before, image))
        EXPECT_NE(std::find(owned.begin(), owned.end(), offset), owned.end()) << offset;
    EXPECT_EQ(changedOffsets(before, image).size(), owned.size());
}

} // namespace
} // namespace telvor
