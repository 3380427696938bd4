// telvorctl ports on a tree of its own in place of /dev and /sys
// (TELVOR_SYSTEM_ROOT): virtual devices on pseudo-terminals as USB adapters,
// a pseudo-terminal held by the test as a busy modem and on-board port.
#include "support/build_folder.h"
#include "support/fake_system_tree.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include "link/system_paths.h"
#include "support/sim_child_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <memory>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test_support::FakeSystemTree;

// A virtual device serving a pseudo-terminal reached through `link`.
std::unique_ptr<SimChildProcess> simOnTerminal(const std::string& link, std::vector<std::string> arguments = {})
{
    arguments.insert(arguments.begin(), {"--pty", link});
    auto process = std::make_unique<SimChildProcess>(test_support::builtProgram("telvor-sim"), arguments);
    if (!process->firstLine().starts_with("pty "))
        throw std::runtime_error("telvor-sim did not open a pseudo-terminal");
    return process;
}

struct PortsRow {
    const char* name;
    std::vector<std::string> arguments;
    // The output expected, given the tree's root.
    std::function<std::string(const std::string& root)> output;
};

class TelvorctlPorts : public testing::TestWithParam<PortsRow> {
protected:
    // An adapter by id and as a node with a device on it, one whose device
    // answers "ERROR" to "VER?", a by-id link whose adapter is gone, a modem
    // and an on-board port that another program holds, an on-board port
    // without a UART.
    void SetUp() override
    {
        m_tree.addUsbAdapter("ttyUSB0", "1-2", {"0403", "6001", "FTDI", "FT232R USB UART"}, "ftdi_sio");
        m_tree.addLinkById("usb-FTDI_FT232R_USB_UART_A10K-if00-port0", "ttyUSB0");
        m_tree.addLinkById("usb-Gone_Adapter-if00-port0", "ttyUSB9");
        m_device = simOnTerminal(m_tree.dev("ttyUSB0"));
        m_refusingDevice = simOnTerminal(m_tree.dev("ttyUSB1"), {"--reply-error", "VER?"});
        ASSERT_EQ(::openpty(&m_heldMaster, &m_heldSlave, nullptr, nullptr, nullptr), 0);
        ASSERT_EQ(::flock(m_heldSlave, LOCK_EX | LOCK_NB), 0);
        m_tree.addUsbModem("ttyACM0", "1-3", {"2341", "0043", "", "Uno"});
        m_tree.addNodeLink("ttyACM0", ::ptsname(m_heldMaster));
        m_tree.addOnBoardPort("ttyS0", "00:01", "4");
        m_tree.addNodeLink("ttyS0", ::ptsname(m_heldMaster));
        m_tree.addOnBoardPort("ttyS1", "00:02", "0");
        m_tree.addNode("ttyS1");

        fs::create_directories(m_tree.root() / "config/Kardel");
        std::ofstream(m_tree.root() / "config/Kardel/Telvor.conf")
            << "[General]\nSerial_Device_Format=" << m_tree.dev("ttyUSB%d") << "\n";
        ::setenv("XDG_CONFIG_HOME", (m_tree.root() / "config").c_str(), 1);
        ::setenv(kSystemRootVariable, m_tree.root().c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv(kSystemRootVariable);
        ::unsetenv("XDG_CONFIG_HOME");
        ::close(m_heldSlave);
        ::close(m_heldMaster);
    }

    FakeSystemTree m_tree;
    std::unique_ptr<SimChildProcess> m_device;
    std::unique_ptr<SimChildProcess> m_refusingDevice;
    int m_heldMaster = -1;
    int m_heldSlave = -1;
};

TEST_P(TelvorctlPorts, ListsEveryPortOfTheTree)
{
    const ProgramRun run = runBuiltProgram("telvorctl", GetParam().arguments);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(run.standardOutput, GetParam().output(m_tree.root().string()));
}

std::string listing(const std::string& root, bool probed)
{
    const std::string dev = root + "/dev/";
    const std::string busy = probed ? "  device: not asked: Cannot open " : "";
    const std::string heldBy = ": Device or resource busy.\n"
                               "    Another program holds the port; close it and try again.\n";
    return "Serial device format: " + dev + "ttyUSB%d\n\n" + dev
        + "serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0 -> " + dev
        + "ttyUSB0\n"
          "  kind: USB serial adapter FTDI FT232R USB UART (0403:6001, driver ftdi_sio)\n"
          "  port: 1\n"
          "  access: may be opened\n"
        + (probed ? "  device: v3.6E\n" : "") + "\n" + dev + "serial/by-id/usb-Gone_Adapter-if00-port0 -> " + dev
        + "ttyUSB9\n"
          "  kind: USB serial adapter\n"
          "  port: 10\n"
          "  access: may not be opened: No such file or directory.\n\n"
        + dev
        + "ttyUSB0\n"
          "  kind: USB serial adapter FTDI FT232R USB UART (0403:6001, driver ftdi_sio)\n"
          "  port: 1\n"
          "  access: may be opened\n"
        + (probed ? "  device: v3.6E\n" : "") + "\n" + dev
        + "ttyUSB1\n"
          "  kind: USB serial adapter\n"
          "  port: 2\n"
          "  access: may be opened\n"
        + (probed ? "  device: no answer\n" : "") + "\n" + dev
        + "ttyACM0\n"
          "  kind: USB modem (CDC ACM) Uno (2341:0043, driver cdc_acm)\n"
          "  port: - (with the format "
        + dev
        + "ttyACM%d it is port 1)\n"
          "  access: may be opened\n"
        + (probed ? busy + dev + "ttyACM0" + heldBy : "") + "\n" + dev
        + "ttyS0\n"
          "  kind: on-board port (driver serial)\n"
          "  port: - (with the format "
        + dev
        + "ttyS%d it is port 1)\n"
          "  access: may be opened\n"
        + (probed ? busy + dev + "ttyS0" + heldBy : "");
}

json portJson(const std::string& path, const std::string& target, const std::string& kind,
              const std::string& description, const json& driver, const json& usb, const json& port,
              const json& suggestedFormat, const json& suggestedPort, const json& reason)
{
    return {{"path", path},
            {"target", target.empty() ? json() : json(target)},
            {"kind", kind},
            {"description", description},
            {"driver", driver},
            {"usb", usb},
            {"port", port},
            {"suggested_format", suggestedFormat},
            {"suggested_port", suggestedPort},
            {"may_open", reason.is_null()},
            {"reason", reason},
            {"remedy", nullptr}};
}

json probeJson(const std::string& result, const json& version, const json& detail)
{
    return {{"result", result}, {"device_version", version}, {"detail", detail}};
}

std::string probedJson(const std::string& root)
{
    const std::string dev = root + "/dev/";
    const json ftdi
        = {{"vendor_id", "0403"}, {"product_id", "6001"}, {"manufacturer", "FTDI"}, {"product", "FT232R USB UART"}};
    const std::string ftdiText = "USB serial adapter FTDI FT232R USB UART (0403:6001, driver ftdi_sio)";
    const auto busy = [&](const std::string& node) {
        return probeJson("not-opened", nullptr,
                         "Cannot open " + dev + node
                             + ": Device or resource busy.\nAnother program holds the port; close it and try again.\n");
    };
    json ports = json::array();
    ports.push_back(portJson(dev + "serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0", dev + "ttyUSB0",
                             "usb-adapter", ftdiText, "ftdi_sio", ftdi, 1, nullptr, nullptr, nullptr));
    ports.back()["probe"] = probeJson("answered", "v3.6E", nullptr);
    ports.push_back(portJson(dev + "serial/by-id/usb-Gone_Adapter-if00-port0", dev + "ttyUSB9", "usb-adapter",
                             "USB serial adapter", nullptr, nullptr, 10, nullptr, nullptr,
                             "No such file or directory"));
    ports.back()["probe"] = probeJson("not-asked", nullptr, nullptr);
    ports.push_back(
        portJson(dev + "ttyUSB0", "", "usb-adapter", ftdiText, "ftdi_sio", ftdi, 1, nullptr, nullptr, nullptr));
    ports.back()["probe"] = probeJson("answered", "v3.6E", nullptr);
    ports.push_back(portJson(dev + "ttyUSB1", "", "usb-adapter", "USB serial adapter", nullptr, nullptr, 2, nullptr,
                             nullptr, nullptr));
    ports.back()["probe"] = probeJson("no-answer", nullptr, nullptr);
    ports.push_back(
        portJson(dev + "ttyACM0", "", "usb-modem", "USB modem (CDC ACM) Uno (2341:0043, driver cdc_acm)", "cdc_acm",
                 {{"vendor_id", "2341"}, {"product_id", "0043"}, {"manufacturer", nullptr}, {"product", "Uno"}},
                 nullptr, dev + "ttyACM%d", 1, nullptr));
    ports.back()["probe"] = busy("ttyACM0");
    ports.push_back(portJson(dev + "ttyS0", "", "on-board", "on-board port (driver serial)", "serial", nullptr, nullptr,
                             dev + "ttyS%d", 1, nullptr));
    ports.back()["probe"] = busy("ttyS0");
    return json{{"serial_device_format", dev + "ttyUSB%d"}, {"ports", ports}}.dump(2) + "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlPorts,
    testing::Values(PortsRow{"Listed", {"ports"}, [](const std::string& root) { return listing(root, false); }},
                    PortsRow{
                        "Probed", {"ports", "--probe"}, [](const std::string& root) { return listing(root, true); }},
                    PortsRow{"ProbedAsJson", {"--json", "ports", "--probe"}, probedJson}),
    test_support::RowName());

TEST(TelvorctlPortsAlone, MachineWithoutSerialDevicesAndAnUnusableFormat)
{
    FakeSystemTree tree;
    fs::create_directories(tree.root() / "config/Kardel");
    std::ofstream(tree.root() / "config/Kardel/Telvor.conf") << "[General]\nSerial_Device_Format=/dev/tty%s\n";
    ::setenv("XDG_CONFIG_HOME", (tree.root() / "config").c_str(), 1);
    ::setenv(kSystemRootVariable, tree.root().c_str(), 1);
    const ProgramRun run = runBuiltProgram("telvorctl", {"ports"});
    const ProgramRun asJson = runBuiltProgram("telvorctl", {"ports", "--json"});
    ::unsetenv(kSystemRootVariable);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput,
              "Serial device format: /dev/ttyS%d\nNo serial devices were found (/dev/serial/by-id, "
              "/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).\n");
    EXPECT_EQ(run.standardError,
              "telvorctl: the serial device format /dev/tty%s is unusable (it needs exactly one "
              "%d), so /dev/ttyS%d is used\n");
    EXPECT_EQ(asJson.standardOutput, "{\n  \"ports\": [],\n  \"serial_device_format\": \"/dev/ttyS%d\"\n}\n");
}

} // namespace
} // namespace telvor
