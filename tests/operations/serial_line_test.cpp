#include "support/device_images.h"
#include "support/recording_surface.h"
#include "support/simulated_device.h"

#include "link/device_link.h"
#include "operations/device_operations.h"
#include "operations/write_rows.h"
#include "sim/sim_server.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <thread>

namespace telvor {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The virtual device on a pseudo-terminal that serial port 3 reaches.
class SerialDevice : public OperationsUnderTest {
public:
    explicit SerialDevice(const SettingsImage& image, std::string versionText)
        : m_directory(std::filesystem::temp_directory_path() / ("telvor-ops-" + std::to_string(::getpid())))
        , m_server(VirtualDevice(image, std::move(versionText)))
    {
        std::filesystem::create_directories(m_directory);
        std::string error;
        if (!m_server.openPty((m_directory / "ttyTelvor2").string(), error))
            throw std::runtime_error(error);
        m_thread = std::thread([this] { m_server.run(); });
        link.endpoint = SerialPortNumber{3};
        link.serialDeviceFormat = (m_directory / "ttyTelvor%d").string();
        link.timing = Timing{}.scaledDown(10);
    }
    ~SerialDevice()
    {
        m_server.requestStop();
        m_thread.join();
        std::filesystem::remove_all(m_directory);
    }

    std::vector<std::string> receivedLines() const { return m_server.receivedLines(); }

private:
    std::filesystem::path m_directory;
    SimServer m_server;
    std::thread m_thread;
};

TEST(SerialLine, VersionTextEndsWithTheBlankOfItsCarriageReturn)
{
    SerialDevice device({}, "v2.8E");
    EXPECT_TRUE(device.operations.checkDeviceVersion());
    EXPECT_EQ(device.surface.shownVersion, "v2.8E ");
    EXPECT_THAT(device.receivedLines(), ElementsAre("HALT!", "VER?"));
    EXPECT_THAT(device.surface.boxes, IsEmpty());
}

TEST(SerialLine, ReadTakesEveryAnswerOfTheVersion)
{
    const SettingsImage deviceImage = everyGroupImage();
    SerialDevice device(deviceImage, "v2.5");
    EXPECT_TRUE(device.operations.readFromDevice());
    EXPECT_THAT(device.receivedLines(),
                ElementsAre("HALT!", "DEBUG=0", "HALT!", "VER?", "SET?", "SMS?", "HALT!", "XCFG?"));
    EXPECT_EQ(device.firmware.versionNumber, 0x25);
    EXPECT_EQ(device.working.text(slot("SMS", 9)), deviceImage.text(slot("SMS", 9)));
    EXPECT_EQ(device.working.text(slot("XMS", 17)), deviceImage.text(slot("XMS", 17)));
    EXPECT_EQ(device.surface.shownStatus, "Settings read successfully");
}

TEST(SerialLine, WriteIsVerifiedAndSetsTheClock)
{
    SerialDevice device({}, "v1.9");
    device.working = everyGroupImage();
    device.surface.controls.service.setClock = true;
    EXPECT_TRUE(device.operations.writeToDevice());
    std::vector<std::string> expected = openingLines();
    for (const std::string& line : writeLinesFor(device.working, FirmwareVersion{0x19, 0, 0}))
        expected.push_back(line);
    for (const char* line : {"HALT!", "SET?", "HALT!", "SMS?", kFixedClockLine})
        expected.emplace_back(line);
    EXPECT_EQ(device.receivedLines(), expected);
    EXPECT_EQ(device.surface.shownStatus,
              "Configuration transferred to device,\r\nverification successful.,RTC updated");
}

} // namespace
} // namespace telvor
