// How telvorctl points the link at the device: the command line's choice
// over the saved settings, the serial device format always from the saved
// settings, and --strict-serial asking for pause framing on top.
#include "cli/device_connection.h"

#include "link/device_link.h"
#include "../support/endpoint_print.h"
#include "../support/row_name.h"

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

struct FramingRow {
    const char* name;
    QByteArray saved;
    bool strictOption;
    bool strictLink;
};

class DeviceConnectionFraming : public testing::TestWithParam<FramingRow> {};

TEST_P(DeviceConnectionFraming, ReachesTheLink)
{
    const SavedSettings saved(GetParam().saved);
    DeviceLink link;
    link.strictSerialTiming = !GetParam().strictLink;
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Serial;
    choice.serialPortNumber = 4;
    connectLink(choice, GetParam().strictOption, link);
    EXPECT_EQ(link.endpoint, Endpoint(SerialPortNumber{4}));
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

struct EndpointRow {
    const char* name;
    QByteArray saved;
    ConnectionChoice choice;
    Endpoint endpoint;
};

class DeviceConnectionEndpoint : public testing::TestWithParam<EndpointRow> {};

TEST_P(DeviceConnectionEndpoint, IsTheChoiceOverTheSavedSettings)
{
    const SavedSettings saved(GetParam().saved);
    DeviceLink link;
    connectLink(GetParam().choice, false, link);
    EXPECT_EQ(link.endpoint, GetParam().endpoint);
    EXPECT_EQ(link.serialDeviceFormat, "/tmp/telvor-port%d");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeviceConnectionEndpoint,
    testing::Values(
        EndpointRow{"FirstStartIsSerialPortOne", "", ConnectionChoice{}, SerialPortNumber{1}},
        EndpointRow{"SavedSerialPort", "Port_COM=7\n", ConnectionChoice{}, SerialPortNumber{7}},
        EndpointRow{"SavedTcp", "Transmisja_TCP=1\nAdres_IP=127.0.0.5\nPort_TCP=2323\n", ConnectionChoice{},
                    TcpEndpoint{"127.0.0.5", 2323}},
        EndpointRow{"SavedTcpPortByItsLow16Bits", "Transmisja_TCP=1\nAdres_IP=127.0.0.5\nPort_TCP=65559\n",
                    ConnectionChoice{}, TcpEndpoint{"127.0.0.5", 23}},
        EndpointRow{"TcpChoiceOverSavedSerial", "Port_COM=7\n", tcpChoice("127.0.0.9", 4000),
                    TcpEndpoint{"127.0.0.9", 4000}},
        EndpointRow{"TcpChoiceOverSavedTcp", "Transmisja_TCP=1\nAdres_IP=127.0.0.5\nPort_TCP=2323\n",
                    tcpChoice("127.0.0.9", 4000), TcpEndpoint{"127.0.0.9", 4000}},
        EndpointRow{"SerialChoiceOverSavedTcp", "Transmisja_TCP=1\nPort_COM=7\n", serialChoice(3),
                    SerialPortNumber{3}},
        EndpointRow{"SerialChoiceOfPortZero", "Port_COM=7\n", serialChoice(0), SerialPortNumber{0}}),
    test_support::RowName());

} // namespace
} // namespace telvor
