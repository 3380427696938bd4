// A history that cannot be opened or written: the operation goes on and
// says why, the file is left as it was, and nothing waits for ever. The
// operations run as the unprivileged user, for whom permissions count.
#include "history_test_support.h"

#include "history/recorded_operations.h"
#include "support/build_folder.h"
#include "support/row_name.h"
#include "support/sim_child_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include <sys/resource.h>
#include <sys/stat.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

// A sound database with one operation in it, closed again, its files (the
// log and its index stay beside it) with `permissions`.
void makeDatabase(const std::string& database, fs::perms permissions)
{
    {
        const OpenedHistory history = openHistory(database);
        history.store->endOperation(history.store->beginOperation({}), {});
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::permissions(database + suffix, permissions);
}

std::string contentOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A read recorded in the history at `database`, against the device on
// `port`: "read" or "not read", a bar, and why the history missed it.
std::string recordedRead(const std::string& database, int port)
{
    const OpenedHistory history = openHistory(database);
    const RecordedResult result = test_support::recordedOnPort(OperationKind::Read, port,
                                                               {history.store.get(), history.unavailable, "telvorctl"});
    return (result.done ? "read|" : "not read|") + result.notRecorded;
}

class HistoryFaults : public test_support::HistoryFolderTest {
protected:
    static void SetUpTestSuite()
    {
        s_device = new SimChildProcess(test_support::builtProgram("telvor-sim"), {"--tcp", "127.0.0.1:0"},
                                       SimChildProcess::ErrorOutput::silenced());
        s_port = listeningPort(s_device->firstLine());
    }
    static void TearDownTestSuite()
    {
        delete s_device;
        s_device = nullptr;
    }

    static SimChildProcess* s_device;
    static int s_port;
};

SimChildProcess* HistoryFaults::s_device = nullptr;
int HistoryFaults::s_port = 0;

struct FaultRow {
    const char* name;
    // Puts the store, named "history.sqlite3" in the test's folder, in its
    // state; gives the database's path.
    std::string (*prepare)(const fs::path& folder);
    // How the history's reason ends, after the database's path and ": ".
    std::string reason;
};

class StoreThatCannotBeUsed : public HistoryFaults, public testing::WithParamInterface<FaultRow> {};

TEST_P(StoreThatCannotBeUsed, LeavesTheOperationToGoOnWithANote)
{
    ASSERT_NE(s_port, 0);
    const std::string database = GetParam().prepare(m_folder);
    const std::string before = fs::is_regular_file(database) ? contentOf(database) : std::string();
    const std::string answer = test_support::inUnprivilegedChild([&] { return recordedRead(database, s_port); });
    EXPECT_EQ(answer, "read|" + database + ": " + GetParam().reason);
    if (fs::is_regular_file(database)) {
        EXPECT_EQ(contentOf(database), before);
    }
}

constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kReadAndEnter = kReadOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
constexpr fs::perms kReadWrite = kReadOnly | fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

INSTANTIATE_TEST_SUITE_P(
    Rows, StoreThatCannotBeUsed,
    testing::Values(FaultRow{"ReadOnlyFile",
                             [](const fs::path& folder) {
                                 const std::string database = (folder / "history.sqlite3").string();
                                 makeDatabase(database, kReadOnly);
                                 return database;
                             },
                             "attempt to write a readonly database"},
                    FaultRow{"ReadOnlyFolder",
                             [](const fs::path& folder) {
                                 fs::create_directory(folder / "locked");
                                 fs::permissions(folder / "locked", kReadAndEnter);
                                 return (folder / "locked" / "history.sqlite3").string();
                             },
                             "Permission denied"},
                    FaultRow{"CorruptFile",
                             [](const fs::path& folder) {
                                 const std::string database = (folder / "history.sqlite3").string();
                                 std::ofstream file(database, std::ios::binary);
                                 for (int block = 0; block < 4096; ++block)
                                     file << "not a database ";
                                 return database;
                             },
                             "file is not a database"},
                    FaultRow{"MissingFolder",
                             [](const fs::path& folder) { return (folder / "missing" / "history.sqlite3").string(); },
                             "No such file or directory"},
                    FaultRow{"Directory",
                             [](const fs::path& folder) {
                                 fs::create_directory(folder / "history.sqlite3");
                                 return (folder / "history.sqlite3").string();
                             },
                             "Is a directory"},
                    FaultRow{"Fifo",
                             [](const fs::path& folder) {
                                 const std::string database = (folder / "history.sqlite3").string();
                                 ::mkfifo(database.c_str(), 0666);
                                 return database;
                             },
                             "not a regular file"}),
    test_support::RowName());

// Operations recorded until the file may grow no more: every operation
// reported recorded is there, the failing one is not half there, and the
// database stays sound.
TEST_F(HistoryFaults, FullDiskKeepsTheDatabaseSound)
{
    const std::string database = path("history.sqlite3");
    makeDatabase(database, kReadWrite);
    const std::string answer = test_support::inUnprivilegedChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{128 * 1024, 128 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        HistoryStore store(database);
        int recorded = 0;
        try {
            for (SettingsImage image;; ++recorded) {
                image.bytes()[0] = static_cast<std::uint8_t>(recorded);
                image.bytes()[1] = static_cast<std::uint8_t>(recorded >> 8);
                OperationStart start;
                start.kind = OperationKind::Write;
                start.sent = &image;
                store.beginOperation(start);
            }
        } catch (const HistoryError& error) {
            return std::to_string(recorded) + "|" + error.what();
        }
    });
    const std::size_t bar = answer.find('|');
    ASSERT_NE(bar, std::string::npos) << answer;
    EXPECT_THAT(answer.substr(bar + 1), testing::StartsWith(database + ": "));
    EXPECT_EQ(test_support::integrityOf(database), "ok");
    EXPECT_EQ(test_support::countOf(database, "SELECT count(*) FROM operations"),
              std::stoll(answer.substr(0, bar)) + 1);
    EXPECT_GT(std::stoll(answer.substr(0, bar)), 0);
}

} // namespace
} // namespace telvor
