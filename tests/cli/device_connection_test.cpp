// How telvorctl points the link at the device: the command line's choice
// over the saved settings, the serial device format always from the saved
// settings, and --strict-serial asking for pause framing on top.
#include "cli/device_connection.h"

#include "link/device_link.h"
#include "support/endpoint_print.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace telvor {
namespace {

// The saved settings in a configuration folder of the test's own.
class SavedSettings {
public:
    explicit SavedSettings(const QByteArray& values)
    {
        EXPECT_TRUE(m_folder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
        QDir(m_folder.path()).mkpath("Kardel");
        QFile store(m_folder.filePath("Kardel/Telvor.conf"));
        EXPECT_TRUE(store.open(QIODevice::WriteOnly));
        store.write("[General]\nSerial_Device_Format=/tmp/telvor-port%d\n" + values);
    }

private:
    QTemporaryDir m_folder;
};

ConnectionChoice tcpChoice(std::string address, std::uint16_t port)
{
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Tcp;
    choice.address = std::move(address);
    choice.port = port;
    return choice;
}

ConnectionChoice serialChoice(int portNumber)
{
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Serial;
    choice.serialPortNumber = portNumber;
    return choice;
}

struct ConnectionRow {
    const char* name;
    QByteArray saved;
    ConnectionChoice choice;
    bool strictOption;
    Endpoint endpoint;
    bool strictLink;
};

class DeviceConnection : public testing::TestWithParam<ConnectionRow> {};

TEST_P(DeviceConnection, ReachesTheLink)
{
    const ConnectionRow& row = GetParam();
    const SavedSettings saved(row.saved);
    DeviceLink link;
    link.strictSerialTiming = !row.strictLink;
    EXPECT_EQ(connectLink(row.choice, row.strictOption, link), std::nullopt);
    EXPECT_EQ(link.endpoint, row.endpoint);
    EXPECT_EQ(link.serialDeviceFormat, "/tmp/telvor-port%d");
    EXPECT_EQ(link.strictSerialTiming, row.strictLink);
}

const ConnectionChoice kSaved;
const QByteArray kSavedTcp = "Transmisja_TCP=1\nAdres_IP=127.0.0.5\nPort_TCP=2323\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, DeviceConnection,
    testing::Values(
        ConnectionRow{"ContentByDefault", "", serialChoice(4), false, SerialPortNumber{4}, false},
        ConnectionRow{"SavedContent", "Serial_Strict_Timing=0\n", serialChoice(4), false, SerialPortNumber{4}, false},
        ConnectionRow{"SavedStrict", "Serial_Strict_Timing=1\n", serialChoice(4), false, SerialPortNumber{4}, true},
        ConnectionRow{"OptionOverSavedContent", "Serial_Strict_Timing=0\n", serialChoice(4), true, SerialPortNumber{4},
                      true},
        ConnectionRow{"OptionAndSavedStrict", "Serial_Strict_Timing=1\n", serialChoice(4), true, SerialPortNumber{4},
                      true},
        ConnectionRow{"FirstStartIsSerialPortOne", "", kSaved, false, SerialPortNumber{1}, false},
        ConnectionRow{"SavedSerialPort", "Port_COM=7\n", kSaved, false, SerialPortNumber{7}, false},
        ConnectionRow{"SavedTcp", kSavedTcp, kSaved, false, TcpEndpoint{"127.0.0.5", 2323}, false},
        ConnectionRow{"SavedTcpPortByItsLow16Bits", "Transmisja_TCP=1\nAdres_IP=127.0.0.5\nPort_TCP=65559\n", kSaved,
                      false, TcpEndpoint{"127.0.0.5", 23}, false},
        ConnectionRow{"SavedTcpWithTheOption", kSavedTcp, kSaved, true, TcpEndpoint{"127.0.0.5", 2323}, true},
        ConnectionRow{"TcpChoiceOverSavedSerial", "Port_COM=7\n", tcpChoice("127.0.0.9", 4000), false,
                      TcpEndpoint{"127.0.0.9", 4000}, false},
        ConnectionRow{"TcpChoiceOverSavedTcp", kSavedTcp, tcpChoice("127.0.0.9", 4000), false,
                      TcpEndpoint{"127.0.0.9", 4000}, false},
        ConnectionRow{"SerialChoiceOverSavedTcp", "Transmisja_TCP=1\nPort_COM=7\n", serialChoice(3), false,
                      SerialPortNumber{3}, false},
        ConnectionRow{"SerialChoiceOfPortZero", "Port_COM=7\n", serialChoice(0), false, SerialPortNumber{0}, false},
        ConnectionRow{"SerialChoiceOverSavedPortOutsideTheRange", "Port_COM=300\n", serialChoice(3), false,
                      SerialPortNumber{3}, false},
        ConnectionRow{"SavedTcpWithSavedPortOutsideTheRange", kSavedTcp + "Port_COM=300\n", kSaved, false,
                      TcpEndpoint{"127.0.0.5", 2323}, false}),
    test_support::RowName());

struct RefusedRow {
    const char* name;
    QByteArray saved;
    const char* number;
};

class SavedSerialPortRefused : public testing::TestWithParam<RefusedRow> {};

// As a wrong --com is; the message names the store that holds the number.
TEST_P(SavedSerialPortRefused, WhenNoConnectionIsNamed)
{
    const SavedSettings saved(GetParam().saved);
    DeviceLink link;
    EXPECT_EQ(
        connectLink(kSaved, false, link),
        "Port_COM in "
            + QSettings(QSettings::NativeFormat, QSettings::UserScope, "Kardel", "Telvor").fileName().toStdString()
            + " needs a port number from 0 to 255, not \"" + GetParam().number + "\"; give --com or --tcp");
}

INSTANTIATE_TEST_SUITE_P(Rows, SavedSerialPortRefused,
                         testing::Values(RefusedRow{"AboveTheRange", "Port_COM=256\n", "256"},
                                         RefusedRow{"Negative", "Port_COM=-1\n", "-1"},
                                         RefusedRow{"FarAboveTheRange", "Transmisja_TCP=0\nPort_COM=70000\n", "70000"}),
                         test_support::RowName());

} // namespace
} // namespace telvor
