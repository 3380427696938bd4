// telvorctl killed at fixed points of a write with its backup: the history
// opens afterwards, is sound, and shows the write interrupted with what it
// had kept by then.
#include "history_test_support.h"

#include "history/history_store.h"
#include "history/image_digest.h"
#include "image/settings_file.h"
#include "sim/sim_server.h"
#include "support/build_folder.h"
#include "support/device_images.h"
#include "support/row_name.h"
#include "support/sim_child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace telvor {
namespace {

using namespace std::chrono_literals;

enum class KillPoint { BeforeTheBackup, MidBackup, MidWrite, MidVerification };

struct KillRow {
    const char* name;
    KillPoint point;
    bool backupKept;
};

class InterruptedWrite : public test_support::HistoryFolderTest, public testing::WithParamInterface<KillRow> {
protected:
    void SetUp() override
    {
        HistoryFolderTest::SetUp();
        // telvorctl reads the connection settings of this folder, not the user's.
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        m_previousConfigHome = previous ? std::optional<std::string>(previous) : std::nullopt;
        ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
        ASSERT_TRUE(writeSettingsFile(path("file.tvr"), everyGroupImage()).ok);
    }
    void TearDown() override
    {
        if (m_previousConfigHome)
            ::setenv("XDG_CONFIG_HOME", m_previousConfigHome->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        HistoryFolderTest::TearDown();
    }

    // telvorctl writing file.tvr with its backup to the device on `port`.
    std::unique_ptr<SimChildProcess> startWrite(int port, const std::string& database) const
    {
        return std::make_unique<SimChildProcess>(test_support::builtProgram("telvorctl"),
                                                 std::vector<std::string>{"--tcp", "127.0.0.1:" + std::to_string(port),
                                                                          "--history", database, "write",
                                                                          path("file.tvr")},
                                                 SimChildProcess::ErrorOutput::silenced());
    }

    // The lines a device receives from a whole write with its backup.
    std::vector<std::string> wholeWriteLines() const
    {
        SimServer server{VirtualDevice(otherImage())};
        EXPECT_TRUE(server.start());
        EXPECT_EQ(startWrite(server.port(), path("whole.sqlite3"))->endWith(0), 0);
        server.stop();
        return server.receivedLines();
    }

    std::optional<std::string> m_previousConfigHome;
};

// Silent at the point, so that telvorctl waits there; and when the device
// has received the line of the point.
struct Point {
    DeviceFaults faults;
    std::function<bool(const std::vector<std::string>&)> reached;
};

Point pointAtLine(int line)
{
    Point point;
    point.faults.faultsAt[line] = LineFault::Silent;
    point.reached = [line](const std::vector<std::string>& lines) { return lines.size() >= std::size_t(line); };
    return point;
}

TEST_P(InterruptedWrite, LeavesASoundHistoryThatSaysSo)
{
    Point point;
    switch (GetParam().point) {
    case KillPoint::BeforeTheBackup:
        point = pointAtLine(1);
        break;
    case KillPoint::MidBackup:
        // "SMS?", the backup read's second query.
        point = pointAtLine(6);
        break;
    case KillPoint::MidWrite:
        point.faults.silentPrefixes = {"SMS3="};
        point.reached = [](const std::vector<std::string>& lines) {
            return std::any_of(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.starts_with("SMS3="); });
        };
        break;
    case KillPoint::MidVerification: {
        // The verification's "SET?", the second of the connection.
        const std::vector<std::string> lines = wholeWriteLines();
        const auto backupQuery = std::find(lines.begin(), lines.end(), "SET?");
        const auto verificationQuery = std::find(std::next(backupQuery), lines.end(), "SET?");
        ASSERT_NE(verificationQuery, lines.end());
        point = pointAtLine(static_cast<int>(verificationQuery - lines.begin()) + 1);
        break;
    }
    }
    SimServer server(VirtualDevice(otherImage(), "v3.6E", point.faults));
    ASSERT_TRUE(server.start());
    const std::string database = path("history.sqlite3");
    const std::unique_ptr<SimChildProcess> write = startWrite(server.port(), database);
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!point.reached(server.receivedLines()) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(2ms);
    ASSERT_TRUE(point.reached(server.receivedLines()));
    EXPECT_EQ(write->endWith(SIGKILL), 128 + SIGKILL);
    server.stop();

    EXPECT_EQ(test_support::integrityOf(database), "ok");
    HistoryStore store(database);
    const std::vector<OperationRecord> operations = store.operations();
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0].operation, "write");
    EXPECT_EQ(operations[0].outcome, Outcome::Interrupted);
    EXPECT_FALSE(operations[0].endedMs);
    EXPECT_EQ(operations[0].images.sent, imageDigest(everyGroupImage()));
    EXPECT_EQ(operations[0].images.backup.empty(), !GetParam().backupKept);
    if (GetParam().backupKept) {
        EXPECT_EQ(store.image(operations[0].images.backup).bytes(),
                  test_support::readFromDeviceHolding(otherImage()).bytes());
    }
}

INSTANTIATE_TEST_SUITE_P(Points, InterruptedWrite,
                         testing::Values(KillRow{"BeforeTheBackup", KillPoint::BeforeTheBackup, false},
                                         KillRow{"MidBackup", KillPoint::MidBackup, false},
                                         KillRow{"MidWrite", KillPoint::MidWrite, true},
                                         KillRow{"MidVerification", KillPoint::MidVerification, true}),
                         test_support::RowName());

} // namespace
} // namespace telvor
