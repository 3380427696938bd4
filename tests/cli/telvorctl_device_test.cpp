#include "support/closed_loopback_port.h"
#include "support/loopback_sim.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include "image/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

// Every test has a folder of its own, which is also the home of the
// connection settings that telvorctl reads when no connection is named, and
// of the history it records into.
class TelvorctlDevice : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path()
            / ("telvorctl-device-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_directory);
        fs::create_directories(m_directory / "config");
        // The history beside the folder, which holds only what the commands write.
        fs::remove_all(dataHome());
        for (const auto& [name, home] :
             {std::pair{"XDG_CONFIG_HOME", m_directory / "config"}, std::pair{"XDG_DATA_HOME", dataHome()}}) {
            const char* previous = std::getenv(name);
            m_previous[name] = previous ? std::optional<std::string>(previous) : std::nullopt;
            ::setenv(name, home.c_str(), 1);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, previous] : m_previous) {
            if (previous)
                ::setenv(name.c_str(), previous->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        fs::remove_all(m_directory);
        fs::remove_all(dataHome());
    }

    fs::path dataHome() const { return m_directory.string() + "-data"; }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }

    std::string save(const std::string& name, const SettingsImage& image) const
    {
        EXPECT_TRUE(writeSettingsFile(path(name), image).ok);
        return path(name);
    }

    void saveConnectionSettings(const std::string& values) const
    {
        fs::create_directories(m_directory / "config" / "Kardel");
        std::ofstream(m_directory / "config" / "Kardel" / "Telvor.conf") << "[General]\n" << values;
    }

    static std::string bytesOf(const std::string& file)
    {
        std::ifstream stream(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    fs::path m_directory;
    std::map<std::string, std::optional<std::string>> m_previous;
};

SettingsImage technicianImage()
{
    SettingsImage image;
    image.setText(slot("PIN"), "9182");
    image.setText(slot("NUM", 1), "+48600100200");
    image.setText(slot("SMS", 0), "Alarm L1 @T");
    image.setText(slot("APN", 2), "apn-secret");
    image.setText(slot("APN", 5), "mail-secret");
    image.setNumber(slot("MCFG2"), 1);
    image.setText(slot("XMS", 4), "Meter");
    image.setS16(slot("SCLA", 2), -40);
    image.setNumber(slot("THTP"), 1);
    image.setText(slot("URL0"), "example.org");
    image.setText(slot("URL2"), "*101#");
    return image;
}

TEST_F(TelvorctlDevice, VersionPrintsTheVersionBoxAndTheStatus)
{
    LoopbackSim device({"--version-text", "v2.8ED"});
    const ProgramRun run = runBuiltProgram("telvorctl", {"--tcp", device.address(), "version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "Device version: v2.8ED\nFirmware version read successful\n");
    EXPECT_EQ(run.standardError, "");
}

struct VersionJsonRow {
    const char* name;
    std::vector<std::string> device; // the virtual device's options; none: nobody listens
    int exitStatus;
    nlohmann::json document;
};

class TelvorctlVersionJson : public testing::TestWithParam<VersionJsonRow> {};

TEST_P(TelvorctlVersionJson, IsOneDocumentOnStandardOutput)
{
    const VersionJsonRow& row = GetParam();
    std::optional<LoopbackSim> device;
    if (!row.device.empty())
        device.emplace(row.device);
    const std::string address
        = device ? device->address() : "127.0.0.1:" + std::to_string(test_support::closedLoopbackPort());
    const ProgramRun run = runBuiltProgram("telvorctl", {"--tcp", address, "version", "--json"});
    EXPECT_EQ(run.exitStatus, row.exitStatus);
    EXPECT_EQ(run.standardOutput, row.document.dump(2) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, TelvorctlVersionJson,
                         testing::Values(VersionJsonRow{"Extended",
                                                        {"--version-text", "v2.8ED"},
                                                        0,
                                                        {{"device_version", "v2.8ED"},
                                                         {"firmware", {{"major", 2}, {"minor", 8}, {"extended", true}}},
                                                         {"status", "Firmware version read successful"},
                                                         {"succeeded", true}}},
                                         VersionJsonRow{
                                             "QuotesInTheText",
                                             {"--version-text", "V3.6 \"beta\""},
                                             0,
                                             {{"device_version", "V3.6 \"beta\""},
                                              {"firmware", {{"major", 3}, {"minor", 6}, {"extended", false}}},
                                              {"status", "Firmware version read successful"},
                                              {"succeeded", true}}},
                                         VersionJsonRow{"NoVersionNumber",
                                                        {"--version-text", "boot"},
                                                        0,
                                                        {{"device_version", "boot"},
                                                         {"firmware", nullptr},
                                                         {"status", "Firmware version read successful"},
                                                         {"succeeded", true}}},
                                         VersionJsonRow{"NobodyListens",
                                                        {},
                                                        1,
                                                        {{"device_version", ""},
                                                         {"firmware", nullptr},
                                                         {"status", "LAN connection (TCP/IP) cannot be established!"},
                                                         {"succeeded", false}}}),
                         test_support::RowName());

TEST_F(TelvorctlDevice, WriteThenReadGivesTheFileBack)
{
    LoopbackSim device;
    const std::string file = save("technician.tvr", technicianImage());
    const ProgramRun write = runBuiltProgram("telvorctl",
                                             {"--tcp", device.address(), "--trace", "write", "--set-clock",
                                              "--reset-device", "--reset-counters", "--erase-log", file});
    EXPECT_EQ(write.exitStatus, 0) << write.standardError;
    EXPECT_EQ(write.standardOutput,
              "Configuration transferred to device,\nverification successful.,counters cleared, "
              "log cleared,RTC updated,\ndevice reset.\n");
    EXPECT_THAT(write.standardError, testing::ContainsRegex("\n[0-9]+ > PIN=\\*\\*\\* NUM0= NUM1=\\+48600100200\n"));
    EXPECT_THAT(write.standardError, testing::ContainsRegex("\n[0-9]+ > APN2=\\*\\*\\*\n"));
    EXPECT_THAT(write.standardError, testing::ContainsRegex("\n[0-9]+ < OK\\\\r\n"));
    EXPECT_THAT(write.standardError, testing::ContainsRegex("\n[0-9]+ > TIME=[0-9]{2}/[0-9]{2}/[0-9]{2},"));
    for (const char* secret : {"9182", "apn-secret", "mail-secret"})
        EXPECT_THAT(write.standardError, Not(HasSubstr(secret)));

    const std::string output = path("read.tvr");
    const ProgramRun read = runBuiltProgram("telvorctl", {"--tcp", device.address(), "read", "--base", file, output});
    EXPECT_EQ(read.exitStatus, 0) << read.standardError;
    EXPECT_EQ(read.standardOutput, "Settings read successfully\n");
    EXPECT_EQ(bytesOf(output), bytesOf(file));
}

TEST_F(TelvorctlDevice, FailedReadCreatesNoFile)
{
    LoopbackSim device({"--silent", "XCFG?"});
    const std::string output = path("never.tvr");
    const ProgramRun run = runBuiltProgram("telvorctl", {"--tcp", device.address(), "read", output});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "telvorctl: No answer from device\n");
    EXPECT_EQ(run.standardOutput, "XCFG settings read error\n");
    EXPECT_FALSE(fs::exists(output));
    // Nor a temporary file beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_directory), fs::directory_iterator()), 1);
}

TEST_F(TelvorctlDevice, FailedVerificationExitsWithOne)
{
    LoopbackSim device({"--report", "HIST1=9", "--version-text", "v2.0"});
    const ProgramRun run
        = runBuiltProgram("telvorctl", {"--tcp", device.address(), "write", "--set-clock", save("a.tvr", {})});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "telvorctl: Verify error (HIST1)\n");
    EXPECT_EQ(run.standardOutput, "Configuration transferred to device,\nwverification failed!\n");
}

TEST_F(TelvorctlDevice, ConnectionThatFailsStillPrintsTheVersionLine)
{
    const std::string port = std::to_string(test_support::closedLoopbackPort());
    const ProgramRun run = runBuiltProgram("telvorctl", {"--tcp", "127.0.0.1:" + port, "version"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError,
              "telvorctl: LAN connection (TCP/IP) cannot be established!\n"
              "telvorctl: note: Connection to 127.0.0.1 port "
                  + port + " refused.\n");
    EXPECT_EQ(run.standardOutput, "Device version: \nLAN connection (TCP/IP) cannot be established!\n");
}

struct AddressRow {
    const char* name;
    // "@" stands for the simulator's port.
    std::string option;
    std::string saved;
};

class TelvorctlAddress : public TelvorctlDevice, public testing::WithParamInterface<AddressRow> {};

// As a person types an address, on the command line or into the window.
TEST_P(TelvorctlAddress, ReachesTheDevice)
{
    LoopbackSim device({"--version-text", "v3.6E"});
    const auto withPort = [&](std::string text) {
        if (const auto at = text.find('@'); at != std::string::npos)
            text.replace(at, 1, std::to_string(device.port()));
        return text;
    };
    std::vector<std::string> arguments{"version"};
    if (!GetParam().option.empty())
        arguments = {"--tcp", withPort(GetParam().option), "version"};
    saveConnectionSettings(withPort(GetParam().saved));
    const ProgramRun run = runBuiltProgram("telvorctl", arguments);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "Device version: v3.6E\nFirmware version read successful\n");
    EXPECT_EQ(run.standardError, "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlAddress,
    testing::Values(AddressRow{"HostName", "localhost:@", ""}, AddressRow{"BlanksAroundTheOption", " 127.0.0.1:@ ", ""},
                    AddressRow{"SavedHostName", "", "Transmisja_TCP=1\nAdres_IP=localhost\nPort_TCP=@\n"},
                    AddressRow{"SavedAddressWithABlankPastedAfterIt", "",
                               "Transmisja_TCP=1\nAdres_IP=\"127.0.0.1 \"\nPort_TCP=@\n"}),
    test_support::RowName());

TEST_F(TelvorctlDevice, SerialPortThatCannotBeOpenedGetsANote)
{
    saveConnectionSettings("Serial_Device_Format=" + path("no-such-tty%d") + "\n");
    const ProgramRun run = runBuiltProgram("telvorctl", {"--com", "4", "version"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_THAT(run.standardError, testing::StartsWith("telvorctl: COM4 port open error !\ntelvorctl: note: "));
    EXPECT_THAT(run.standardError, HasSubstr(path("no-such-tty3")));
    EXPECT_EQ(run.standardOutput, "Device version: \nCOM4 port open error !\n");
}

TEST_F(TelvorctlDevice, WithoutConnectionOptionTheSavedSettingsApply)
{
    LoopbackSim device({"--version-text", "v3.6E"});
    saveConnectionSettings("Transmisja_TCP=1\nAdres_IP=127.0.0.1\nPort_TCP=" + std::to_string(device.port()) + "\n");
    const ProgramRun run = runBuiltProgram("telvorctl", {"version"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "Device version: v3.6E\nFirmware version read successful\n");
}

TEST_F(TelvorctlDevice, SavedSerialPortOutsideTheRangeIsAUsageError)
{
    const std::string store = (m_directory / "config" / "Kardel" / "Telvor.conf").string();
    saveConnectionSettings("Serial_Device_Format=" + path("no-such-tty%d") + "\nPort_COM=300\n");
    for (const char* command : {"version", "read"}) {
        std::vector<std::string> arguments{command};
        if (arguments.front() == "read")
            arguments.push_back(path("out.tvr"));
        const ProgramRun run = runBuiltProgram("telvorctl", arguments);
        EXPECT_EQ(run.exitStatus, 2) << command;
        EXPECT_EQ(run.standardError,
                  "telvorctl: Port_COM in " + store
                      + " needs a port number from 0 to 255, not \"300\"; give --com or --tcp\n")
            << command;
        EXPECT_EQ(run.standardOutput, "") << command;
    }
    EXPECT_FALSE(fs::exists(path("out.tvr")));
}

TEST_F(TelvorctlDevice, SettingsFileThatCannotBeReadIsAUsageError)
{
    LoopbackSim device;
    const ProgramRun run = runBuiltProgram("telvorctl", {"--tcp", device.address(), "write", path("missing.tvr")});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_THAT(run.standardError, HasSubstr(path("missing.tvr")));
    EXPECT_EQ(run.standardOutput, "");
}

} // namespace
} // namespace telvor
