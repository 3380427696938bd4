// The history database: where it lies, what one operation leaves in it, its
// schema version, operations whose process has ended, and pruning.
#include "history_test_support.h"

#include "history/history_schema.h"
#include "history/history_store.h"
#include "history/history_time.h"
#include "history/image_digest.h"
#include "support/row_name.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

// The environment variables of the history's location, set or unset for the
// time of a test and put back afterwards.
class LocationEnvironment {
public:
    static constexpr std::array<const char*, 3> kNames{"TELVOR_HISTORY", "XDG_DATA_HOME", "HOME"};

    explicit LocationEnvironment(const std::map<std::string, std::string>& values)
    {
        for (const char* name : kNames) {
            if (const char* previous = std::getenv(name))
                m_previous[name] = previous;
            const auto value = values.find(name);
            if (value == values.end())
                ::unsetenv(name);
            else
                ::setenv(name, value->second.c_str(), 1);
        }
    }
    ~LocationEnvironment()
    {
        for (const char* name : kNames) {
            const auto previous = m_previous.find(name);
            if (previous == m_previous.end())
                ::unsetenv(name);
            else
                ::setenv(name, previous->second.c_str(), 1);
        }
    }

private:
    std::map<std::string, std::string> m_previous;
};

struct LocationRow {
    const char* name;
    std::optional<std::string> chosen;
    std::map<std::string, std::string> environment;
    std::optional<HistoryLocation> location;
};

class HistoryLocationRules : public testing::TestWithParam<LocationRow> {};

TEST_P(HistoryLocationRules, PickThePlace)
{
    const LocationEnvironment environment(GetParam().environment);
    EXPECT_EQ(historyLocation(GetParam().chosen), GetParam().location);
}

const std::map<std::string, std::string> kEverySource{
    {"TELVOR_HISTORY", "/named/h.sqlite3"}, {"XDG_DATA_HOME", "/data"}, {"HOME", "/home/t"}};

INSTANTIATE_TEST_SUITE_P(
    Rows, HistoryLocationRules,
    testing::Values(
        LocationRow{"CommandLineFirst", "given.sqlite3", kEverySource, HistoryLocation{"given.sqlite3", false}},
        LocationRow{"ThenTheEnvironmentsFile", std::nullopt, kEverySource, HistoryLocation{"/named/h.sqlite3", false}},
        LocationRow{"ThenTheDataFolder",
                    std::nullopt,
                    {{"TELVOR_HISTORY", ""}, {"XDG_DATA_HOME", "/data"}, {"HOME", "/home/t"}},
                    HistoryLocation{"/data/telvor/history.sqlite3", true}},
        LocationRow{"ThenTheHomeFolder",
                    std::nullopt,
                    {{"XDG_DATA_HOME", ""}, {"HOME", "/home/t"}},
                    HistoryLocation{"/home/t/.local/share/telvor/history.sqlite3", true}},
        LocationRow{"RelativeDataFolderIsPassedOver",
                    std::nullopt,
                    {{"XDG_DATA_HOME", "data"}, {"HOME", "/home/t"}},
                    HistoryLocation{"/home/t/.local/share/telvor/history.sqlite3", true}},
        LocationRow{"NowhereWithoutAnyOfThem", std::nullopt, {}, std::nullopt}),
    test_support::RowName());

SettingsImage patternImage(std::uint8_t seed)
{
    SettingsImage image;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        image.bytes()[offset] = static_cast<std::uint8_t>(offset * 7 + seed);
    return image;
}

std::string contentOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

unsigned modeOf(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

OperationStart writeStart(const SettingsImage* sent)
{
    OperationStart start;
    start.program = "telvorctl";
    start.kind = OperationKind::Write;
    start.target = "tcp:[::1]:2323";
    start.options = "set-clock,reset-device";
    start.sent = sent;
    return start;
}

OperationEnd endedAs(Outcome outcome, const SettingsImage* read = nullptr)
{
    OperationEnd end;
    end.outcome = outcome;
    end.read = read;
    return end;
}

using HistoryStoreTest = test_support::HistoryFolderTest;

TEST(ImageDigest, IsTheSha256OfTheImagesBytes)
{
    EXPECT_EQ(imageDigest(SettingsImage()), "60760d8e2a33da90f45a7cfcca85ab8461d3fd9beb6c6d804800ab53bcb42925");
}

TEST_F(HistoryStoreTest, PerUserDatabaseIsPrivateFromTheStart)
{
    const mode_t previous = ::umask(022);
    const HistoryLocation location{path("data/telvor/history.sqlite3"), true};
    const std::unique_ptr<HistoryStore> store = openHistoryStore(location);
    ::umask(previous);
    EXPECT_EQ(modeOf(path("data")), 0700u);
    EXPECT_EQ(modeOf(path("data/telvor")), 0700u);
    EXPECT_EQ(modeOf(location.path), 0600u);
    store->beginOperation(writeStart(nullptr));
    EXPECT_EQ(modeOf(location.path + "-wal"), 0600u);
    SQLite::Database database(location.path, SQLite::OPEN_READONLY);
    EXPECT_EQ(database.execAndGet("PRAGMA user_version").getInt(), historySchemaVersion());
    EXPECT_EQ(database.execAndGet("PRAGMA journal_mode").getString(), "wal");
}

TEST_F(HistoryStoreTest, FileNamedByTheUserNeedsItsFolder)
{
    EXPECT_THROW(openHistoryStore({path("missing/history.sqlite3"), false}), HistoryError);
    EXPECT_FALSE(fs::exists(path("missing")));
}

TEST_F(HistoryStoreTest, OperationIsRunningFromItsStartAndKeepsEveryDetailOfItsEnd)
{
    HistoryStore store(path("history.sqlite3"));
    const SettingsImage sent = patternImage(1);
    const SettingsImage read = patternImage(2);
    const std::int64_t before = currentTimeMs();
    const std::int64_t id = store.beginOperation(writeStart(&sent));
    std::optional<OperationRecord> running = store.operation(id);
    ASSERT_TRUE(running);
    EXPECT_EQ(running->outcome, Outcome::Running);
    EXPECT_FALSE(running->endedMs);
    EXPECT_EQ(running->images.sent, imageDigest(sent));
    EXPECT_EQ(running->images.backup, "");

    store.recordBackup(id, read);
    OperationEnd end = endedAs(Outcome::Succeeded, &read);
    // Windows-1250 texts, a zero byte and CR LF included, kept byte for byte.
    end.version = std::string("v3.6E \xB3\x9A", 8);
    end.status = std::string("Configuration transferred to device,\r\nverification successful.\0!", 65);
    end.bytesSent = 5127;
    end.bytesReceived = 9345;
    store.endOperation(id, end);

    const std::optional<OperationRecord> ended = store.operation(id);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->id, id);
    EXPECT_GE(ended->startedMs, before);
    ASSERT_TRUE(ended->endedMs);
    EXPECT_GE(*ended->endedMs, ended->startedMs);
    EXPECT_LE(*ended->endedMs, currentTimeMs());
    EXPECT_EQ(ended->program, "telvorctl");
    EXPECT_EQ(ended->operation, "write");
    EXPECT_EQ(ended->target, "tcp:[::1]:2323");
    EXPECT_EQ(ended->version, end.version);
    EXPECT_EQ(ended->options, "set-clock,reset-device");
    EXPECT_EQ(ended->outcome, Outcome::Succeeded);
    EXPECT_EQ(ended->status, end.status);
    EXPECT_EQ(ended->bytesSent, 5127);
    EXPECT_EQ(ended->bytesReceived, 9345);
    EXPECT_EQ(ended->images.sent, imageDigest(sent));
    EXPECT_EQ(ended->images.read, imageDigest(read));
    EXPECT_EQ(ended->images.backup, imageDigest(read));
    EXPECT_EQ(store.image(imageDigest(sent)).bytes(), sent.bytes());
    EXPECT_EQ(store.image(imageDigest(read)).bytes(), read.bytes());
    EXPECT_FALSE(store.operation(id + 1));
}

TEST_F(HistoryStoreTest, EachImageIsStoredOnce)
{
    HistoryStore store(path("history.sqlite3"));
    const SettingsImage first = patternImage(1);
    const SettingsImage second = patternImage(2);
    for (const SettingsImage* sent : {&first, &second, &first}) {
        const std::int64_t id = store.beginOperation(writeStart(sent));
        store.endOperation(id, endedAs(Outcome::Succeeded, &first));
    }
    EXPECT_EQ(test_support::countOf(path("history.sqlite3"), "SELECT count(*) FROM images"), 2);
}

TEST_F(HistoryStoreTest, ListIsNewestFirstByTargetAndLimit)
{
    HistoryStore store(path("history.sqlite3"));
    for (const char* target : {"com:1:/dev/ttyS0", "tcp:10.0.0.1:23", "com:1:/dev/ttyS0", "serial:/dev/ttyUSB0"}) {
        OperationStart start = writeStart(nullptr);
        start.target = target;
        store.beginOperation(start);
    }
    const auto idsOf = [](const std::vector<OperationRecord>& records) {
        std::vector<std::int64_t> ids;
        for (const OperationRecord& record : records)
            ids.push_back(record.id);
        return ids;
    };
    EXPECT_EQ(idsOf(store.operations()), (std::vector<std::int64_t>{4, 3, 2, 1}));
    EXPECT_EQ(idsOf(store.operations("com:1:/dev/ttyS0")), (std::vector<std::int64_t>{3, 1}));
    EXPECT_EQ(idsOf(store.operations({}, 3)), (std::vector<std::int64_t>{4, 3, 2}));
    EXPECT_EQ(idsOf(store.operations("com:1:/dev/ttyS0", 1)), (std::vector<std::int64_t>{3}));
    EXPECT_TRUE(store.operations("com:2:/dev/ttyS1").empty());
}

// What a target was last given: its newest write or restore, whatever came
// after it that gave it nothing.
TEST_F(HistoryStoreTest, LatestWriteIsTheTargetsNewestWriteOrRestore)
{
    HistoryStore store(path("history.sqlite3"));
    const SettingsImage first = patternImage(1);
    const SettingsImage second = patternImage(2);
    const auto record = [&store](OperationKind kind, const char* target, const SettingsImage* sent, Outcome outcome) {
        OperationStart start = writeStart(sent);
        start.kind = kind;
        start.target = target;
        const std::int64_t id = store.beginOperation(start);
        store.endOperation(id, endedAs(outcome));
        return id;
    };
    EXPECT_FALSE(store.latestWrite("tcp:10.0.0.1:23"));
    const std::int64_t written = record(OperationKind::Write, "tcp:10.0.0.1:23", &first, Outcome::Succeeded);
    EXPECT_EQ(store.recordBackup(written, second), imageDigest(second));
    record(OperationKind::Read, "tcp:10.0.0.1:23", nullptr, Outcome::Succeeded);
    record(OperationKind::Version, "tcp:10.0.0.1:23", nullptr, Outcome::Failed);
    record(OperationKind::Write, "tcp:10.0.0.2:23", &second, Outcome::Failed);
    std::optional<OperationRecord> latest = store.latestWrite("tcp:10.0.0.1:23");
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->id, written);
    EXPECT_EQ(latest->outcome, Outcome::Succeeded);
    EXPECT_EQ(latest->images.sent, imageDigest(first));
    EXPECT_EQ(latest->images.backup, imageDigest(second));
    const std::int64_t restored = record(OperationKind::Restore, "tcp:10.0.0.1:23", &second, Outcome::Interrupted);
    latest = store.latestWrite("tcp:10.0.0.1:23");
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->id, restored);
    EXPECT_EQ(latest->outcome, Outcome::Interrupted);
    EXPECT_FALSE(store.latestWrite("tcp:10.0.0.3:23"));
}

TEST_F(HistoryStoreTest, EmptyFileGetsTheSchema)
{
    std::ofstream(path("history.sqlite3")).close();
    HistoryStore store(path("history.sqlite3"));
    EXPECT_EQ(store.beginOperation(writeStart(nullptr)), 1);
    EXPECT_EQ(test_support::countOf(path("history.sqlite3"), "PRAGMA user_version"), historySchemaVersion());
}

TEST_F(HistoryStoreTest, NewerSchemaIsLeftAsItIsAndReported)
{
    const std::string database = path("history.sqlite3");
    {
        SQLite::Database newer(database, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        newer.exec("CREATE TABLE operations (id INTEGER PRIMARY KEY, later TEXT)");
        newer.exec("INSERT INTO operations (later) VALUES ('kept')");
        newer.exec("PRAGMA user_version = " + std::to_string(historySchemaVersion() + 1));
    }
    const std::string before = contentOf(database);
    try {
        HistoryStore store(database);
        ADD_FAILURE() << "a newer database was opened";
    } catch (const HistoryError& error) {
        EXPECT_THAT(error.what(),
                    HasSubstr(database + ": the history was written by a newer program (schema version "
                              + std::to_string(historySchemaVersion() + 1)));
    }
    EXPECT_EQ(contentOf(database), before);
    EXPECT_FALSE(fs::exists(database + "-wal"));
}

TEST_F(HistoryStoreTest, OperationOfAnEndedProcessBecomesInterrupted)
{
    const std::string database = path("history.sqlite3");
    HistoryStore store(database);
    const std::int64_t own = store.beginOperation(writeStart(nullptr));
    // Another process that begins an operation and ends without completing it.
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            HistoryStore childStore(database);
            childStore.beginOperation(writeStart(nullptr));
        } catch (const HistoryError&) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    {
        // A process of this number that started at another moment is another process.
        SQLite::Database direct(database, SQLite::OPEN_READWRITE);
        direct.exec("INSERT INTO operations (started_ms, program, operation, target, outcome, process_id, "
                    "process_start) VALUES (1, 'window', 'read', 'com:1:/dev/ttyS0', 'running', "
                    + std::to_string(::getpid()) + ", 'an earlier boot/1')");
    }
    HistoryStore reopened(database);
    EXPECT_EQ(reopened.operation(own)->outcome, Outcome::Running);
    EXPECT_EQ(reopened.operation(own + 1)->outcome, Outcome::Interrupted);
    EXPECT_EQ(reopened.operation(own + 2)->outcome, Outcome::Interrupted);
    EXPECT_FALSE(reopened.operation(own + 1)->endedMs);
}

TEST_F(HistoryStoreTest, PruneRemovesOldOperationsAndTheImagesNoneNames)
{
    const std::string database = path("history.sqlite3");
    HistoryStore store(database);
    const SettingsImage onlyOld = patternImage(1);
    const SettingsImage shared = patternImage(2);
    const SettingsImage onlyRunning = patternImage(3);
    const std::int64_t oldEnded = store.beginOperation(writeStart(&onlyOld));
    store.endOperation(oldEnded, endedAs(Outcome::Succeeded, &shared));
    const std::int64_t oldInterrupted = store.beginOperation(writeStart(&onlyOld));
    const std::int64_t oldRunning = store.beginOperation(writeStart(&onlyRunning));
    const std::int64_t recent = store.beginOperation(writeStart(&shared));
    store.endOperation(recent, endedAs(Outcome::Failed));
    {
        SQLite::Database direct(database, SQLite::OPEN_READWRITE);
        direct.exec("UPDATE operations SET started_ms = 1000, ended_ms = 2000 WHERE id = " + std::to_string(oldEnded));
        direct.exec("UPDATE operations SET started_ms = 1000, outcome = 'interrupted' WHERE id = "
                    + std::to_string(oldInterrupted));
        direct.exec("UPDATE operations SET started_ms = 1000 WHERE id = " + std::to_string(oldRunning));
    }
    const PruneCount removed = store.prune(currentTimeMs() - 60'000);
    EXPECT_EQ(removed.operations, 2);
    EXPECT_EQ(removed.images, 1);
    EXPECT_FALSE(store.operation(oldEnded));
    EXPECT_FALSE(store.operation(oldInterrupted));
    EXPECT_TRUE(store.operation(oldRunning));
    EXPECT_TRUE(store.operation(recent));
    EXPECT_THROW(store.image(imageDigest(onlyOld)), HistoryError);
    EXPECT_EQ(store.image(imageDigest(shared)).bytes(), shared.bytes());
    EXPECT_EQ(store.image(imageDigest(onlyRunning)).bytes(), onlyRunning.bytes());
    // An id once given is never given again.
    EXPECT_GT(store.beginOperation(writeStart(nullptr)), recent);
    EXPECT_EQ(test_support::integrityOf(database), "ok");
}

TEST_F(HistoryStoreTest, DamagedImageIsRefused)
{
    const std::string database = path("history.sqlite3");
    HistoryStore store(database);
    const SettingsImage sent = patternImage(5);
    store.beginOperation(writeStart(&sent));
    {
        SQLite::Database direct(database, SQLite::OPEN_READWRITE);
        direct.exec("UPDATE images SET bytes = zeroblob(3608)");
    }
    try {
        store.image(imageDigest(sent));
        ADD_FAILURE() << "a damaged image was given";
    } catch (const HistoryError& error) {
        EXPECT_EQ(std::string(error.what()), database + ": image " + imageDigest(sent) + " is damaged");
    }
}

} // namespace
} // namespace telvor
