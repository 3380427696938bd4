// telvorctl fleet against telvor-sim --devices on loopback: plan errors that
// touch no device, a plan as a spreadsheet writes it, the display on a
// terminal and off it, and Ctrl-C once and twice with the receipts, the
// history and a resume agreeing. Each test has a folder and a history of
// its own; the devices count their connections in files.
#include "support/build_folder.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include "document/factory_defaults.h"
#include "document/settings_document.h"
#include "history/history_store.h"
#include "image/settings_file.h"
#include "support/sim_child_process.h"

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Json = nlohmann::json;

std::string contentOf(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// telvor-sim --devices N starting from the factory defaults, saving into a
// folder of its own, with extra options such as --for K --silent VER?.
class SimDevices {
public:
    SimDevices(const fs::path& folder, int count, std::vector<std::string> options = {})
        : m_folder(folder)
    {
        fs::create_directories(folder);
        EXPECT_TRUE(writeSettingsFile((folder / "start.tvr").string(), factoryDefaults()).ok);
        std::vector<std::string> arguments
            = {"--tcp",  "127.0.0.1:0",  "--devices", std::to_string(count), "--image", (folder / "start.tvr").string(),
               "--save", folder.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        m_process = std::make_unique<SimChildProcess>(test_support::builtProgram("telvor-sim"), arguments);
        for (int device = 0; device < count; ++device) {
            const int port = listeningPort(device == 0 ? m_process->firstLine() : m_process->nextLine());
            EXPECT_GT(port, 0);
            m_ports.push_back(port);
        }
    }

    // The plan's target of device K (from 1).
    std::string target(int number) const { return "tcp:127.0.0.1:" + std::to_string(port(number)); }
    int port(int number) const { return m_ports.at(static_cast<std::size_t>(number - 1)); }
    int connections(int number) const
    {
        const std::string count = contentOf(m_folder / (std::to_string(port(number)) + ".connections"));
        return count.empty() ? 0 : std::stoi(count);
    }
    SettingsImage image(int number) const
    {
        SettingsImage image;
        EXPECT_TRUE(readSettingsFile((m_folder / (std::to_string(port(number)) + ".tvr")).string(), image).ok);
        return image;
    }

private:
    fs::path m_folder;
    std::unique_ptr<SimChildProcess> m_process;
    std::vector<int> m_ports;
};

class TelvorctlFleet : public testing::Test {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_directory = fs::temp_directory_path() / ("telvorctl-fleet-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        m_previousConfigHome = previous ? std::optional<std::string>(previous) : std::nullopt;
        ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
        ASSERT_TRUE(writeSettingsFile(path("template.tvr"), factoryDefaults()).ok);
    }
    void TearDown() override
    {
        if (m_previousConfigHome)
            ::setenv("XDG_CONFIG_HOME", m_previousConfigHome->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        fs::remove_all(m_directory);
    }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }
    void write(const std::string& name, const std::string& content) const
    {
        std::ofstream(m_directory / name, std::ios::binary) << content;
    }
    std::vector<std::string> fleetArguments(std::vector<std::string> options) const
    {
        std::vector<std::string> arguments = {"fleet", path("plan.csv"), "--history", path("history.sqlite3")};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return arguments;
    }
    ProgramRun fleet(std::vector<std::string> options = {}) const
    {
        return runBuiltProgram("telvorctl", fleetArguments(std::move(options)));
    }
    // The receipts from line `from` on (0 the first), by target.
    std::map<std::string, Json> receipts(std::size_t from = 0) const
    {
        std::map<std::string, Json> byTarget;
        const std::vector<std::string> lines = linesOf(contentOf(path("plan.receipts.jsonl")));
        for (std::size_t index = from; index < lines.size(); ++index) {
            const Json receipt = Json::parse(lines[index]);
            EXPECT_TRUE(byTarget.emplace(receipt["target"], receipt).second)
                << "two receipts for " << receipt["target"];
        }
        return byTarget;
    }
    std::size_t receiptCount() const { return linesOf(contentOf(path("plan.receipts.jsonl"))).size(); }

    // A plan of devices 1 to `count`, each with a telephone number and an
    // identifier of its own.
    void writePlan(const SimDevices& devices, int count) const
    {
        std::string plan = "target,template,name,basic.num_1,internet.uid\n";
        for (int number = 1; number <= count; ++number)
            plan += devices.target(number) + ",template.tvr,pump " + std::to_string(number) + ",+4860010"
                + std::to_string(1000 + number) + "," + std::to_string(number) + "\n";
        write("plan.csv", plan);
    }

    fs::path m_directory;
    std::optional<std::string> m_previousConfigHome;
};

struct PlanErrorRow {
    const char* name;
    // "{1}", "{2}": the targets of the devices; "{folder}" the test's folder.
    std::string plan;
    std::vector<std::string> errors;
};

void PrintTo(const PlanErrorRow& row, std::ostream* out)
{
    *out << row.name;
}

class TelvorctlFleetPlanErrors : public TelvorctlFleet, public testing::WithParamInterface<PlanErrorRow> {};

TEST_P(TelvorctlFleetPlanErrors, EndWithStatusTwoAndTouchNoDevice)
{
    const SimDevices devices(m_directory / "devices", 2);
    write("bad.yaml", "format: telvor-settings 1\ninternet:\n  uid: 70000\n");
    const auto placed = [&](std::string text) {
        for (const auto& [mark, value] :
             {std::pair{std::string("{1}"), devices.target(1)}, std::pair{std::string("{2}"), devices.target(2)},
              std::pair{std::string("{folder}"), m_directory.string()}})
            for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at))
                text.replace(at, mark.size(), value);
        return text;
    };
    write("plan.csv", placed(GetParam().plan));
    for (const bool dryRun : {false, true}) {
        const ProgramRun run = fleet(dryRun ? std::vector<std::string>{"--dry-run"} : std::vector<std::string>{});
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.standardOutput, "");
        std::string expected;
        for (const std::string& error : GetParam().errors)
            expected += "telvorctl: " + placed(error) + "\n";
        EXPECT_EQ(run.standardError, expected);
    }
    EXPECT_EQ(devices.connections(1), 0);
    EXPECT_EQ(devices.connections(2), 0);
    EXPECT_FALSE(fs::exists(path("plan.receipts.jsonl")));
    EXPECT_FALSE(fs::exists(path("history.sqlite3")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlFleetPlanErrors,
    testing::Values(
        PlanErrorRow{"UnknownColumn",
                     "target,template,internet.uidd\n{1},template.tvr,5\n",
                     {"{folder}/plan.csv:1: internet.uidd: unknown setting"}},
        PlanErrorRow{"ValueItsSettingRefuses",
                     "target,template,internet.uid\n{1},template.tvr,5\n{2},template.tvr,x\n",
                     {"{folder}/plan.csv:3: internet.uid: Please enter an integer."}},
        PlanErrorRow{"TemplateMissingOrWithErrors",
                     "target;template\n{1};missing.yaml\n{2};bad.yaml\n",
                     {"{folder}/plan.csv:2: template: {folder}/missing.yaml: No such file or directory",
                      "{folder}/bad.yaml:3:8: internet.uid: Please enter an integer between 0 and 65535.",
                      "{folder}/plan.csv:3: template: {folder}/bad.yaml: the document has errors"}},
        PlanErrorRow{"TargetGivenTwice",
                     "target,template\n{1},template.tvr\n{2},template.tvr\n{1},template.tvr\n",
                     {"{folder}/plan.csv:4: target: {1} is the target of line 2 too"}},
        PlanErrorRow{"TwoRowsOnOneSerialPort",
                     "target,template\n{1},template.tvr\ncom:4,template.tvr\nserial:/dev/ttyS3,template.tvr\n",
                     {"{folder}/plan.csv:4: target: serial:/dev/ttyS3 is the serial port of line 3 too"}},
        PlanErrorRow{"LineBreakInAMessage",
                     "target,template,messages.L1\n{1},template.tvr,\"Alarm\nzone 2\"\n{2},template.tvr,Alarm\n",
                     {"{folder}/plan.csv:2: messages.L1: holds a line break, which the device cannot keep: its "
                      "lines end at CR and it passes over LF"}}),
    test_support::RowName());

TEST_F(TelvorctlFleet, SpreadsheetPlanIsCheckedWrittenAndReceipted)
{
    const SimDevices devices(m_directory / "devices", 3);
    write("plan.csv",
          "\xEF\xBB\xBFtarget;template;name;basic.num_1;messages.L1\r\n" + devices.target(1)
              + ";template.tvr;\"Pump; \"\"north\"\"\";+48600100200;\"Alarm, north\"\r\n" + devices.target(2)
              + ";template.tvr;;;\r\n" + devices.target(3) + ";template.tvr;tank;;Tank \xC5\x82\r\n");
    const ProgramRun dry = fleet({"--dry-run"});
    EXPECT_EQ(dry.exitStatus, 0);
    EXPECT_EQ(dry.standardOutput,
              devices.target(1) + " Pump; \"north\": 2 settings differ from the template\n" + devices.target(2)
                  + ": 0 settings differ from the template\n" + devices.target(3)
                  + " tank: 1 settings differ from the template\nplan checked: 3 devices\n");
    EXPECT_EQ(dry.standardError, "");
    for (int number = 1; number <= 3; ++number)
        EXPECT_EQ(devices.connections(number), 0);

    const ProgramRun run = fleet({"--jobs", "2", "--set-clock"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "");
    const std::vector<std::string> lines = linesOf(run.standardError);
    ASSERT_EQ(lines.size(), 4u) << run.standardError;
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 3),
                testing::UnorderedElementsAre(devices.target(1) + " Pump; \"north\": written",
                                              devices.target(2) + ": written", devices.target(3) + " tank: written"));
    EXPECT_THAT(lines[3],
                testing::MatchesRegex("fleet: 3 written, 0 skipped, 0 failed, 0 unreachable, 0 interrupted "
                                      "\\(3 devices, 0:[0-9][0-9]\\)"));
    const std::vector<std::vector<std::string>> values
        = {{"basic.num_1=+48600100200", "messages.L1=Alarm, north"}, {}, {"messages.L1=Tank \xC5\x82"}};
    const std::map<std::string, Json> given = receipts();
    ASSERT_EQ(given.size(), 3u);
    HistoryStore history(path("history.sqlite3"));
    for (int number = 1; number <= 3; ++number) {
        SettingsImage expected = factoryDefaults();
        ASSERT_TRUE(applyAssignments(values[static_cast<std::size_t>(number - 1)], expected).empty());
        EXPECT_EQ(differingSettings(devices.image(number), expected), std::vector<std::string>{}) << number;
        const Json& receipt = given.at(devices.target(number));
        EXPECT_EQ(receipt["outcome"], "written");
        EXPECT_EQ(receipt["attempts"], 1);
        EXPECT_EQ(receipt["status"], "Configuration transferred to device,\nverification successful.,RTC updated");
        const std::optional<OperationRecord> record = history.operation(receipt["history_ids"][0]);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->target, devices.target(number));
        EXPECT_EQ(record->program, "telvorctl");
        EXPECT_EQ(record->options, "set-clock");
        EXPECT_EQ(record->outcome, Outcome::Succeeded);
        EXPECT_EQ(record->images.sent, receipt["image_sha256"]);
        EXPECT_EQ(record->images.backup, receipt["backup_sha256"]);
        EXPECT_EQ(devices.connections(number), 1);
    }
    EXPECT_EQ(given.at(devices.target(1))["name"], "Pump; \"north\"");
}

TEST_F(TelvorctlFleet, OnATerminalOneStatusLineAndALineForEachDeviceNotWritten)
{
    const SimDevices devices(m_directory / "devices", 3, {"--for", "2", "--corrupt", "SMS1:1000"});
    writePlan(devices, 3);
    const ProgramRun run = runBuiltProgramOnTerminal("telvorctl", fleetArguments({"--receipts", path("r.jsonl")}), 100);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_THAT(run.standardError, testing::HasSubstr("\rwritten 0, failed 0, running "));
    EXPECT_THAT(run.standardError,
                testing::HasSubstr("\r" + devices.target(2) + " pump 2: failed: Verify error (SMS1/1)\n"));
    EXPECT_THAT(run.standardError, testing::Not(testing::HasSubstr("pump 1: written")));
    EXPECT_THAT(
        run.standardError,
        testing::MatchesRegex("(.|\n)*\r *\rfleet: 2 written, 0 skipped, 1 failed, 0 unreachable, 0 interrupted "
                              "\\(3 devices, 0:[0-9][0-9]\\)\n"));
    EXPECT_EQ(linesOf(contentOf(path("r.jsonl"))).size(), 3u);
    EXPECT_FALSE(fs::exists(path("plan.receipts.jsonl")));
}

// telvorctl fleet in a process of its own, for the signals.
std::unique_ptr<SimChildProcess> startFleet(const std::vector<std::string>& arguments)
{
    return std::make_unique<SimChildProcess>(test_support::builtProgram("telvorctl"), arguments,
                                             SimChildProcess::ErrorOutput::silenced());
}

template <typename Condition>
bool waitFor(Condition condition)
{
    for (const auto limit = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < limit;
         std::this_thread::sleep_for(2ms))
        if (condition())
            return true;
    return false;
}

TEST_F(TelvorctlFleet, CtrlCHalfWayGivesEveryDeviceItsReceiptAndAResumeFinishesTheRest)
{
    const SimDevices devices(m_directory / "devices", 50);
    writePlan(devices, 50);
    const auto running = startFleet(fleetArguments({"--jobs", "4"}));
    ASSERT_TRUE(waitFor([this] { return receiptCount() >= 10; }));
    running->sendSignal(SIGINT);
    EXPECT_EQ(running->endWith(0), 130);
    const std::map<std::string, Json> stopped = receipts();
    ASSERT_EQ(stopped.size(), 50u);
    EXPECT_EQ(receiptCount(), 50u);
    std::set<int> written;
    {
        HistoryStore history(path("history.sqlite3"));
        for (int number = 1; number <= 50; ++number) {
            const Json& receipt = stopped.at(devices.target(number));
            const std::vector<OperationRecord> records = history.operations(devices.target(number));
            if (receipt["outcome"] == "written") {
                written.insert(number);
                ASSERT_EQ(records.size(), 1u) << number;
                EXPECT_EQ(receipt["history_ids"], Json::array({records[0].id}));
                EXPECT_EQ(records[0].outcome, Outcome::Succeeded);
                continue;
            }
            EXPECT_EQ(receipt["outcome"], "interrupted") << number;
            EXPECT_EQ(receipt["attempts"], 0);
            EXPECT_TRUE(records.empty()) << number;
            EXPECT_EQ(devices.connections(number), 0) << number;
        }
    }
    EXPECT_GE(written.size(), 10u);
    EXPECT_LT(written.size(), 50u);

    const ProgramRun resumed = fleet({"--resume"});
    EXPECT_EQ(resumed.exitStatus, 0) << resumed.standardError;
    const std::map<std::string, Json> finished = receipts(50);
    ASSERT_EQ(finished.size(), 50u);
    for (int number = 1; number <= 50; ++number) {
        EXPECT_EQ(finished.at(devices.target(number))["outcome"], written.contains(number) ? "skipped" : "written");
        EXPECT_EQ(devices.connections(number), 1) << number;
    }
}

TEST_F(TelvorctlFleet, SecondCtrlCEndsTheDevicesUnderWayAtOnce)
{
    // The first two fall silent mid-write; the link would wait 5 s there.
    const SimDevices devices(m_directory / "devices", 6,
                             {"--for", "1", "--fault-at", "30:silent", "--for", "2", "--fault-at", "30:silent"});
    writePlan(devices, 6);
    const auto running = startFleet(fleetArguments({"--jobs", "2"}));
    ASSERT_TRUE(waitFor([&devices] { return devices.connections(1) == 1 && devices.connections(2) == 1; }));
    running->sendSignal(SIGINT);
    std::this_thread::sleep_for(100ms);
    running->sendSignal(SIGINT);
    EXPECT_EQ(running->endWith(0), 130);
    const std::map<std::string, Json> given = receipts();
    ASSERT_EQ(given.size(), 6u);
    HistoryStore history(path("history.sqlite3"));
    for (int number = 1; number <= 6; ++number) {
        const Json& receipt = given.at(devices.target(number));
        EXPECT_EQ(receipt["outcome"], "interrupted") << number;
        EXPECT_EQ(receipt["attempts"], number <= 2 ? 1 : 0) << number;
        const std::vector<OperationRecord> records = history.operations(devices.target(number));
        ASSERT_EQ(records.size(), number <= 2 ? 1u : 0u) << number;
        if (number <= 2) {
            EXPECT_EQ(records[0].outcome, Outcome::Interrupted);
            EXPECT_TRUE(records[0].endedMs);
            EXPECT_TRUE(records[0].status.ends_with("\r\nInterrupted at the user's request")) << records[0].status;
        }
    }
}

TEST_F(TelvorctlFleet, HistoryThatCannotBeUsedStopsTheRunBeforeAnyDevice)
{
    const SimDevices devices(m_directory / "devices", 1);
    writePlan(devices, 1);
    const ProgramRun run
        = runBuiltProgram("telvorctl", {"fleet", path("plan.csv"), "--history", path("no/such.sqlite3")});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardError,
              "telvorctl: the history cannot be used: " + path("no/such.sqlite3")
                  + ": No such file or directory; a fleet records every device's operations there\n");
    EXPECT_EQ(devices.connections(1), 0);
}

} // namespace
} // namespace telvor
