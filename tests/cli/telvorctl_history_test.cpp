// telvorctl's history against telvor-sim on loopback: what device commands
// record, the backup before a write, restore and check, the history's
// commands, and a history that cannot be used. Each test has a database of
// its own.
#include "support/loopback_sim.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include "image/settings_file.h"

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

constexpr const char* kZeroImageDigest = "60760d8e2a33da90f45a7cfcca85ab8461d3fd9beb6c6d804800ab53bcb42925";
constexpr const char* kWritten = "Configuration transferred to device,\nverification successful.\n";

SettingsImage technicianImage()
{
    SettingsImage image;
    image.setText(slot("PIN"), "9182");
    image.setText(slot("NUM", 1), "+48600100200");
    image.setText(slot("SMS", 0), "Alarm L1 @T");
    image.setText(slot("APN", 5), "mail-secret");
    image.setNumber(slot("MCFG2"), 1);
    image.setText(slot("XMS", 4), "Meter");
    image.setNumber(slot("THTP"), 1);
    image.setText(slot("URL0"), "example.org");
    return image;
}

// A folder of the test's own, home of the connection settings and of the
// per-user history; the tests name their database with --history.
class TelvorctlHistory : public testing::Test {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_directory = fs::temp_directory_path() / ("telvorctl-history-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
        for (const auto& [variable, folder] :
             {std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_DATA_HOME", "data"}}) {
            const char* previous = std::getenv(variable);
            m_previous.emplace_back(variable, previous ? std::optional<std::string>(previous) : std::nullopt);
            ::setenv(variable, path(folder).c_str(), 1);
        }
    }
    void TearDown() override
    {
        for (const auto& [variable, previous] : m_previous) {
            if (previous)
                ::setenv(variable.c_str(), previous->c_str(), 1);
            else
                ::unsetenv(variable.c_str());
        }
        fs::remove_all(m_directory);
    }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }
    std::string database() const { return path("history.sqlite3"); }

    std::string save(const std::string& name, const SettingsImage& image) const
    {
        EXPECT_TRUE(writeSettingsFile(path(name), image).ok);
        return path(name);
    }

    // telvorctl recording into the test's database.
    ProgramRun recorded(std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(), {"--history", database()});
        return runBuiltProgram("telvorctl", arguments);
    }
    ProgramRun onDevice(const LoopbackSim& device, std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(), {"--tcp", device.address()});
        return recorded(arguments);
    }

    nlohmann::ordered_json historyJson() const
    {
        const ProgramRun list = recorded({"history", "--json"});
        EXPECT_EQ(list.exitStatus, 0) << list.standardError;
        return nlohmann::ordered_json::parse(list.standardOutput);
    }

    static std::string bytesOf(const std::string& file)
    {
        std::ifstream stream(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    fs::path m_directory;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_previous;
};

TEST_F(TelvorctlHistory, WriteKeepsTheDevicesSettingsAndRestoreBringsThemBack)
{
    const std::string before = save("before.tvr", technicianImage());
    LoopbackSim device({"--image", before});
    const std::string file = save("file.tvr", SettingsImage());

    ASSERT_EQ(onDevice(device, {"read", path("read.tvr")}).exitStatus, 0);
    const ProgramRun write = onDevice(device, {"write", file});
    ASSERT_EQ(write.exitStatus, 0) << write.standardError;
    EXPECT_EQ(write.standardOutput, kWritten);
    EXPECT_EQ(write.standardError, "");

    // The backup is what a read just before gave; the image sent is the file.
    EXPECT_EQ(recorded({"history", "export", "2", "--image", "backup", path("backup.tvr")}).exitStatus, 0);
    EXPECT_EQ(bytesOf(path("backup.tvr")), bytesOf(path("read.tvr")));
    EXPECT_EQ(recorded({"history", "export", "2", path("sent.tvr")}).exitStatus, 0);
    EXPECT_EQ(bytesOf(path("sent.tvr")), bytesOf(file));
    EXPECT_EQ(recorded({"history", "export", "1", path("read-again.tvr")}).exitStatus, 0);
    EXPECT_EQ(bytesOf(path("read-again.tvr")), bytesOf(path("read.tvr")));

    // To the target recorded, with a backup of its own.
    const ProgramRun restore = recorded({"restore", "2"});
    EXPECT_EQ(restore.exitStatus, 0) << restore.standardError;
    EXPECT_EQ(restore.standardOutput, kWritten);
    ASSERT_EQ(onDevice(device, {"read", path("after.tvr")}).exitStatus, 0);
    EXPECT_EQ(bytesOf(path("after.tvr")), bytesOf(path("backup.tvr")));

    const ProgramRun list = recorded({"history"});
    EXPECT_EQ(list.exitStatus, 0);
    const std::string line = "  [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  telvorctl  ";
    const std::string target = "  tcp:127\\.0\\.0\\.1:" + std::to_string(device.port()) + "  v3\\.6E  succeeded\n";
    EXPECT_TRUE(std::regex_match(list.standardOutput,
                                 std::regex("4" + line + "read" + target + "3" + line + "restore" + target + "2" + line
                                            + "write" + target + "1" + line + "read" + target)))
        << list.standardOutput;
    const nlohmann::ordered_json operations = historyJson();
    EXPECT_EQ(operations.at(1).at("operation"), "restore");
    EXPECT_EQ(operations.at(1).at("images").at("sent"), operations.at(2).at("images").at("backup"));
    EXPECT_FALSE(operations.at(1).at("images").at("backup").is_null());
}

TEST_F(TelvorctlHistory, EveryDetailAsJsonAndShown)
{
    LoopbackSim device;
    const ProgramRun write = onDevice(device, {"write", "--set-clock", save("file.tvr", technicianImage())});
    ASSERT_EQ(write.exitStatus, 0) << write.standardError;

    const nlohmann::ordered_json operations = historyJson();
    ASSERT_EQ(operations.size(), 1u);
    const nlohmann::ordered_json& operation = operations.at(0);
    std::vector<std::string> keys;
    for (const auto& [key, value] : operation.items())
        keys.push_back(key);
    EXPECT_THAT(keys,
                ElementsAre("id", "started", "ended", "program", "operation", "target", "version", "options", "outcome",
                            "status", "bytes_sent", "bytes_received", "images"));
    const std::regex utc("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}Z");
    EXPECT_TRUE(std::regex_match(operation.at("started").get<std::string>(), utc)) << operation.at("started");
    EXPECT_TRUE(std::regex_match(operation.at("ended").get<std::string>(), utc)) << operation.at("ended");
    EXPECT_EQ(operation.at("id"), 1);
    EXPECT_EQ(operation.at("program"), "telvorctl");
    EXPECT_EQ(operation.at("operation"), "write");
    EXPECT_EQ(operation.at("target"), "tcp:" + device.address());
    EXPECT_EQ(operation.at("version"), "v3.6E");
    EXPECT_EQ(operation.at("options"), nlohmann::json::array({"set-clock"}));
    EXPECT_EQ(operation.at("outcome"), "succeeded");
    EXPECT_EQ(operation.at("status"), "Configuration transferred to device,\r\nverification successful.,RTC updated");
    EXPECT_GT(operation.at("bytes_sent").get<int>(), 1000);
    EXPECT_GT(operation.at("bytes_received").get<int>(), 1000);
    EXPECT_EQ(operation.at("images").at("backup"), kZeroImageDigest);
    EXPECT_TRUE(operation.at("images").at("read").is_null());
    EXPECT_EQ(operation.at("images").at("sent").get<std::string>().size(), 64u);

    const ProgramRun show = recorded({"history", "show", "1"});
    EXPECT_EQ(show.exitStatus, 0);
    const std::string shown = show.standardOutput;
    for (const std::string& line : std::vector<std::string>{
             "Id: 1\n", "\nProgram: telvorctl\n", "\nOperation: write\n", "\nTarget: tcp:" + device.address() + "\n",
             "\nDevice version: v3.6E\n", "\nService options: set-clock\n", "\nOutcome: succeeded\n",
             "\nStatus: Configuration transferred to device,\n        verification successful.,RTC updated\n",
             "\nBytes sent: " + std::to_string(operation.at("bytes_sent").get<int>()) + "\n",
             "\nImage sent: " + operation.at("images").at("sent").get<std::string>() + "\n", "\nImage read: none\n",
             "\nBackup image: " + std::string(kZeroImageDigest) + "\n"})
        EXPECT_NE(shown.find(line), std::string::npos) << line << " in\n" << shown;
    EXPECT_TRUE(shown.starts_with("Id: 1\nStarted: ")) << shown;
}

struct CheckRow {
    const char* name;
    std::vector<std::string> deviceOptions;
    int exitStatus;
    std::string output;
    std::string error;
    std::string outcome;
};

class TelvorctlCheck : public TelvorctlHistory, public testing::WithParamInterface<CheckRow> {};

TEST_P(TelvorctlCheck, ComparesTheDeviceWithTheFile)
{
    const CheckRow& row = GetParam();
    const std::string file = save("file.tvr", technicianImage());
    std::vector<std::string> options = {"--image", file};
    options.insert(options.end(), row.deviceOptions.begin(), row.deviceOptions.end());
    LoopbackSim device(options);
    const ProgramRun check = onDevice(device, {"check", file});
    EXPECT_EQ(check.exitStatus, row.exitStatus);
    EXPECT_EQ(check.standardOutput, row.output);
    EXPECT_EQ(check.standardError, row.error);
    const nlohmann::ordered_json operation = historyJson().at(0);
    EXPECT_EQ(operation.at("operation"), "check");
    EXPECT_EQ(operation.at("outcome"), row.outcome);
    EXPECT_EQ(operation.at("images").at("read").is_null(), row.exitStatus == 3);
}

INSTANTIATE_TEST_SUITE_P(Rows, TelvorctlCheck,
                         testing::Values(CheckRow{"InStep", {}, 0, "", "", "succeeded"},
                                         CheckRow{"ValuesChangedOnTheDevice",
                                                  {"--corrupt", "PIN:1", "--corrupt", "XMS4:1"},
                                                  1,
                                                  "PIN: 9182 -> 0182\nXMS4: Meter -> Xeter\n",
                                                  "",
                                                  "failed"},
                                         CheckRow{"SilentDevice",
                                                  {"--silent", "SET?"},
                                                  3,
                                                  "Settings read error\n",
                                                  "telvorctl: No answer from device\n",
                                                  "failed"},
                                         CheckRow{"DeviceGoneBeforeItsSettings",
                                                  {"--fault-at", "5:close"},
                                                  3,
                                                  "Settings read error\n",
                                                  "telvorctl: No answer from device\n",
                                                  "failed"}),
                         test_support::RowName());

TEST_F(TelvorctlHistory, FailedBackupReadWritesNothing)
{
    // The connection ends at the backup read's "XCFG?".
    LoopbackSim device({"--fault-at", "11:close"});
    const ProgramRun write = onDevice(device, {"write", save("file.tvr", technicianImage())});
    EXPECT_EQ(write.exitStatus, 1);
    EXPECT_EQ(write.standardOutput, "XCFG settings read error\n");
    EXPECT_EQ(write.standardError,
              "telvorctl: No answer from device\n"
              "telvorctl: nothing was written: the backup read failed\n"
              "telvorctl: note: --no-backup writes without reading a backup first\n");
    const nlohmann::ordered_json operation = historyJson().at(0);
    EXPECT_EQ(operation.at("outcome"), "failed");
    EXPECT_TRUE(operation.at("images").at("backup").is_null());
}

TEST_F(TelvorctlHistory, HistoryThatCannotBeUsedGivesANoteAndStopsOnlyABackedUpWrite)
{
    LoopbackSim device;
    fs::create_directory(database());
    const std::string reason = database() + ": Is a directory";
    const ProgramRun version = onDevice(device, {"version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.standardOutput, "Device version: v3.6E\nFirmware version read successful\n");
    EXPECT_EQ(version.standardError, "telvorctl: note: history not recorded: " + reason + "\n");

    const std::string file = save("file.tvr", technicianImage());
    const ProgramRun write = onDevice(device, {"write", file});
    EXPECT_EQ(write.exitStatus, 1);
    EXPECT_EQ(write.standardOutput, "");
    EXPECT_EQ(write.standardError,
              "telvorctl: nothing was written: the backup could not be recorded: " + reason
                  + "\ntelvorctl: note: --no-backup writes without reading a backup first\n");

    const ProgramRun unsaved = onDevice(device, {"write", "--no-backup", file});
    EXPECT_EQ(unsaved.exitStatus, 0);
    EXPECT_EQ(unsaved.standardOutput, kWritten);
    EXPECT_EQ(unsaved.standardError, "telvorctl: note: history not recorded: " + reason + "\n");

    const ProgramRun list = recorded({"history"});
    EXPECT_EQ(list.exitStatus, 2);
    EXPECT_EQ(list.standardError, "telvorctl: history: " + reason + "\n");
}

TEST_F(TelvorctlHistory, NoHistoryRecordsNothingAndReadsNoBackup)
{
    LoopbackSim device;
    const ProgramRun write = runBuiltProgram(
        "telvorctl", {"--tcp", device.address(), "--no-history", "write", save("file.tvr", technicianImage())});
    EXPECT_EQ(write.exitStatus, 0);
    EXPECT_EQ(write.standardOutput, kWritten);
    EXPECT_EQ(write.standardError, "telvorctl: note: no backup is read before the write: --no-history keeps none\n");
    EXPECT_FALSE(fs::exists(path("data")));

    // Without --history the per-user database is the one.
    ASSERT_EQ(runBuiltProgram("telvorctl", {"--tcp", device.address(), "version"}).exitStatus, 0);
    EXPECT_TRUE(fs::is_regular_file(path("data/telvor/history.sqlite3")));
}

TEST_F(TelvorctlHistory, PruneSaysWhatItRemoved)
{
    LoopbackSim device;
    ASSERT_EQ(onDevice(device, {"version"}).exitStatus, 0);
    ASSERT_EQ(onDevice(device, {"read", path("read.tvr")}).exitStatus, 0);
    const ProgramRun recent = recorded({"history", "prune", "--older-than", "1"});
    EXPECT_EQ(recent.exitStatus, 0);
    EXPECT_EQ(recent.standardOutput, "Removed 0 operations and 0 images\n");
    const ProgramRun all = recorded({"history", "prune", "--older-than", "0"});
    EXPECT_EQ(all.exitStatus, 0);
    EXPECT_EQ(all.standardOutput, "Removed 2 operations and 1 image\n");
    EXPECT_EQ(recorded({"history"}).standardOutput, "");
    const ProgramRun withoutAge = recorded({"history", "prune"});
    EXPECT_EQ(withoutAge.exitStatus, 2);
    EXPECT_EQ(withoutAge.standardError, "telvorctl: history prune needs --older-than DAYS\n");
}

struct RefusedRow {
    const char* name;
    std::vector<std::string> arguments;
    std::string error; // "DATABASE" stands for the database's path
};

class TelvorctlHistoryRefuses : public TelvorctlHistory, public testing::WithParamInterface<RefusedRow> {};

// One version check is in the history.
TEST_P(TelvorctlHistoryRefuses, WithExitStatusTwoAndTheReason)
{
    LoopbackSim device;
    ASSERT_EQ(onDevice(device, {"version"}).exitStatus, 0);
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments)
        if (argument.starts_with("OUT"))
            argument = path(argument);
    const ProgramRun run = recorded(arguments);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardOutput, "");
    std::string error = GetParam().error;
    for (const auto& [placeholder, value] : {std::pair{"DATABASE", database()}, std::pair{"OUT", path("OUT")}})
        if (const std::size_t at = error.find(placeholder); at != std::string::npos)
            error.replace(at, std::string(placeholder).size(), value);
    EXPECT_EQ(run.standardError, error);
    EXPECT_FALSE(fs::exists(path("OUT.tvr")));
    EXPECT_FALSE(fs::exists(path("OUT.yaml")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelvorctlHistoryRefuses,
    testing::Values(RefusedRow{"UnknownOperation", {"history", "show", "2"}, "telvorctl: DATABASE: no operation 2\n"},
                    RefusedRow{"IdThatIsNoNumber",
                               {"history", "export", "first", "OUT.tvr"},
                               "telvorctl: an operation's ID is a whole number from 1 on, not \"first\"\n"},
                    RefusedRow{"OperationWithoutThatImage",
                               {"history", "export", "1", "--image", "backup", "OUT.tvr"},
                               "telvorctl: operation 1 (version) has no backup image\n"},
                    RefusedRow{"VersionCheckHasNoImage",
                               {"history", "export", "1", "OUT.tvr"},
                               "telvorctl: operation 1 (version) has no read image\n"},
                    RefusedRow{"RestoreOfAnOperationWithoutBackup",
                               {"restore", "1"},
                               "telvorctl: operation 1 (version) has no backup image\n"}),
    test_support::RowName());

} // namespace
} // namespace telvor
