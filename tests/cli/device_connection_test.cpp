// How telvorctl points the link at the device: the serial framing comes from
// the saved settings, and --strict-serial asks for pause framing on top.
#include "cli/device_connection.h"

#include "link/device_link.h"
#include "../support/row_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace telvor {
namespace {

struct FramingRow {
    const char* name;
    QByteArray saved;
    bool strictOption;
    bool strictLink;
};

class DeviceConnectionFraming : public testing::TestWithParam<FramingRow> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
        QDir(m_folder.path()).mkpath("Kardel");
        QFile store(m_folder.filePath("Kardel/Telvor.conf"));
        ASSERT_TRUE(store.open(QIODevice::WriteOnly));
        store.write("[General]\nSerial_Device_Format=/tmp/telvor-port%d\n" + GetParam().saved);
    }

    QTemporaryDir m_folder;
};

TEST_P(DeviceConnectionFraming, ReachesTheLink)
{
    DeviceLink link;
    link.strictSerialTiming = !GetParam().strictLink;
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Serial;
    choice.serialPortNumber = 4;
    EXPECT_EQ(connectLink(choice, GetParam().strictOption, link), 4);
    EXPECT_EQ(link.useTcp, 0);
    EXPECT_EQ(link.serialDeviceFormat, "/tmp/telvor-port%d");
    EXPECT_EQ(link.strictSerialTiming, GetParam().strictLink);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeviceConnectionFraming,
    testing::Values(FramingRow{"ContentByDefault", "", false, false},
                    FramingRow{"SavedContent", "Serial_Strict_Timing=0\n", false, false},
                    FramingRow{"SavedStrict", "Serial_Strict_Timing=1\n", false, true},
                    FramingRow{"OptionOverSavedContent", "Serial_Strict_Timing=0\n", true, true},
                    FramingRow{"OptionAndSavedStrict", "Serial_Strict_Timing=1\n", true, true}),
    test_support::RowName());

} // namespace
} // namespace telvor
