#include "history/history_store.h"

#include "history/history_schema.h"
#include "history/history_time.h"
#include "history/image_digest.h"
#include "history/process_identity.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvor {

namespace {

// Long enough for dozens of processes recording at once, whose
// transactions take milliseconds; short enough that a store held locked by
// a stuck process gives up before the user does.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kRecordColumns = "id, started_ms, ended_ms, program, operation, target, version, options, "
                                       "outcome, status, bytes_sent, bytes_received, sent_image, read_image, "
                                       "backup_image";

std::string systemReason(int error)
{
    return std::strerror(error);
}

// SQLite opens whatever the name names; a FIFO would block the first read
// for ever. A missing file is made here so that it is private from the start.
void prepareFile(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            throw HistoryError(path + ": " + systemReason(EISDIR));
        if (!S_ISREG(status.st_mode))
            throw HistoryError(path + ": not a regular file");
        return;
    }
    if (errno != ENOENT)
        throw HistoryError(path + ": " + systemReason(errno));
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file < 0 && errno != EEXIST)
        throw HistoryError(path + ": " + systemReason(errno));
    if (file >= 0)
        ::close(file);
}

const std::string& ownIdentity()
{
    static const std::string identity = processIdentity(::getpid());
    return identity;
}

// Making the log and checkpointing it at the last close each cost the disk
// a sync: a program that records one operation per run would pay both every
// time. The log stays (its size bounded by the checkpoints that its growth
// brings about while operations are recorded), and the next opening takes
// it up again.
void keepLogBetweenOpenings(SQLite::Database& database)
{
    sqlite3* handle = database.getHandle();
    int keep = 1;
    sqlite3_file_control(handle, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    database.exec("PRAGMA wal_autocheckpoint = 100");
}

int userVersion(SQLite::Database& database)
{
    return database.execAndGet("PRAGMA user_version").getInt();
}

std::string digestOrEmpty(const SQLite::Column& column)
{
    return column.isNull() ? std::string() : column.getString();
}

OperationRecord recordOf(SQLite::Statement& row)
{
    OperationRecord record;
    record.id = row.getColumn(0).getInt64();
    record.startedMs = row.getColumn(1).getInt64();
    if (!row.getColumn(2).isNull())
        record.endedMs = row.getColumn(2).getInt64();
    record.program = row.getColumn(3).getString();
    record.operation = row.getColumn(4).getString();
    record.target = row.getColumn(5).getString();
    record.version = row.getColumn(6).getString();
    record.options = row.getColumn(7).getString();
    record.outcome = outcomeNamed(row.getColumn(8).getString()).value_or(Outcome::Failed);
    record.status = row.getColumn(9).getString();
    record.bytesSent = row.getColumn(10).getInt64();
    record.bytesReceived = row.getColumn(11).getInt64();
    record.images
        = {digestOrEmpty(row.getColumn(12)), digestOrEmpty(row.getColumn(13)), digestOrEmpty(row.getColumn(14))};
    return record;
}

void bindBytes(SQLite::Statement& statement, int index, const std::string& bytes)
{
    statement.bind(index, bytes.data(), static_cast<int>(bytes.size()));
}

// Stores the image unless it is there already; gives its digest.
std::string storeImage(SQLite::Database& database, const SettingsImage& image)
{
    const std::string digest = imageDigest(image);
    SQLite::Statement insert(database, "INSERT OR IGNORE INTO images (digest, bytes) VALUES (?, ?)");
    insert.bind(1, digest);
    insert.bind(2, image.bytes().data(), static_cast<int>(image.bytes().size()));
    insert.exec();
    return digest;
}

void bindImage(SQLite::Database& database, SQLite::Statement& statement, int index, const SettingsImage* image)
{
    if (image)
        statement.bind(index, storeImage(database, *image));
    else
        statement.bind(index);
}

} // namespace

template <typename Work>
auto HistoryStore::guarded(Work work)
{
    const std::lock_guard lock(m_mutex);
    try {
        return work();
    } catch (const HistoryError&) {
        throw;
    } catch (const std::exception& error) {
        throw HistoryError(m_path + ": " + error.what());
    }
}

HistoryStore::HistoryStore(const std::string& path)
    : m_path(path)
{
    prepareFile(path);
    guarded([this] {
        m_database = std::make_unique<SQLite::Database>(
            m_path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE | SQLite::OPEN_FULLMUTEX, kBusyTimeoutMs);
        const int found = userVersion(*m_database);
        if (found > historySchemaVersion())
            throw HistoryError(m_path + ": the history was written by a newer program (schema version "
                               + std::to_string(found) + ", this program knows up to "
                               + std::to_string(historySchemaVersion()) + "); it is left as it is");
        // Once set, the mode is kept in the file; setting it again would
        // need every other connection to wait.
        if (m_database->execAndGet("PRAGMA journal_mode").getString() != "wal")
            m_database->exec("PRAGMA journal_mode = WAL");
        // With the log, a commit survives the process at once and the disk
        // at the next checkpoint: what a crash may lose is an operation's
        // last moments, never the file's consistency.
        m_database->exec("PRAGMA synchronous = NORMAL");
        keepLogBetweenOpenings(*m_database);
        m_database->exec("PRAGMA foreign_keys = ON");
        if (found < historySchemaVersion())
            migrate();
        markInterrupted();
        return 0;
    });
}

HistoryStore::~HistoryStore() = default;

void HistoryStore::migrate()
{
    SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
    // Another process may have migrated while this one waited.
    const int found = userVersion(*m_database);
    if (found >= historySchemaVersion())
        return;
    const auto migrations = historyMigrations();
    for (auto step = migrations.begin() + found; step != migrations.end(); ++step)
        m_database->exec(std::string(*step));
    m_database->exec("PRAGMA user_version = " + std::to_string(historySchemaVersion()));
    transaction.commit();
}

void HistoryStore::markInterrupted()
{
    std::vector<std::int64_t> ended;
    SQLite::Statement running(*m_database,
                              "SELECT id, process_id, process_start FROM operations WHERE outcome = 'running'");
    while (running.executeStep())
        if (processIdentity(static_cast<pid_t>(running.getColumn(1).getInt64())) != running.getColumn(2).getString())
            ended.push_back(running.getColumn(0).getInt64());
    if (ended.empty())
        return;
    SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
    SQLite::Statement mark(*m_database,
                           "UPDATE operations SET outcome = 'interrupted' WHERE id = ? AND outcome = 'running'");
    for (const std::int64_t id : ended) {
        mark.bind(1, id);
        mark.exec();
        mark.reset();
    }
    transaction.commit();
}

std::int64_t HistoryStore::beginOperation(const OperationStart& start)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement insert(*m_database,
                                 "INSERT INTO operations (started_ms, program, operation, target, options, outcome, "
                                 "sent_image, process_id, process_start) VALUES (?, ?, ?, ?, ?, 'running', ?, ?, ?)");
        insert.bind(1, currentTimeMs());
        insert.bind(2, std::string(start.program));
        insert.bind(3, std::string(operationText(start.kind)));
        insert.bind(4, start.target);
        insert.bind(5, start.options);
        bindImage(*m_database, insert, 6, start.sent);
        insert.bind(7, static_cast<std::int64_t>(::getpid()));
        insert.bind(8, ownIdentity());
        insert.exec();
        const std::int64_t id = m_database->getLastInsertRowid();
        transaction.commit();
        return id;
    });
}

std::string HistoryStore::recordBackup(std::int64_t id, const SettingsImage& backup)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement update(*m_database, "UPDATE operations SET backup_image = ? WHERE id = ?");
        std::string digest = storeImage(*m_database, backup);
        update.bind(1, digest);
        update.bind(2, id);
        if (update.exec() != 1)
            throw HistoryError(m_path + ": operation " + std::to_string(id) + " is no longer in the history");
        transaction.commit();
        return digest;
    });
}

void HistoryStore::endOperation(std::int64_t id, const OperationEnd& end)
{
    guarded([&] {
        SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement update(*m_database,
                                 "UPDATE operations SET ended_ms = ?, outcome = ?, version = ?, status = ?, "
                                 "bytes_sent = ?, bytes_received = ?, read_image = ? WHERE id = ?");
        update.bind(1, currentTimeMs());
        update.bind(2, std::string(outcomeText(end.outcome)));
        bindBytes(update, 3, end.version);
        bindBytes(update, 4, end.status);
        update.bind(5, end.bytesSent);
        update.bind(6, end.bytesReceived);
        bindImage(*m_database, update, 7, end.read);
        update.bind(8, id);
        if (update.exec() != 1)
            throw HistoryError(m_path + ": operation " + std::to_string(id) + " is no longer in the history");
        transaction.commit();
        return 0;
    });
}

std::vector<OperationRecord> HistoryStore::operations(std::string_view target, int limit)
{
    return guarded([&] {
        std::string query = std::string("SELECT ") + kRecordColumns + " FROM operations";
        if (!target.empty())
            query += " WHERE target = ?";
        query += " ORDER BY id DESC";
        if (limit > 0)
            query += " LIMIT " + std::to_string(limit);
        SQLite::Statement select(*m_database, query);
        if (!target.empty())
            select.bind(1, std::string(target));
        std::vector<OperationRecord> records;
        while (select.executeStep())
            records.push_back(recordOf(select));
        return records;
    });
}

std::optional<OperationRecord> HistoryStore::operation(std::int64_t id)
{
    return guarded([&]() -> std::optional<OperationRecord> {
        SQLite::Statement select(*m_database,
                                 std::string("SELECT ") + kRecordColumns + " FROM operations WHERE id = ?");
        select.bind(1, id);
        if (!select.executeStep())
            return std::nullopt;
        return recordOf(select);
    });
}

std::optional<OperationRecord> HistoryStore::latestWrite(std::string_view target)
{
    return guarded([&]() -> std::optional<OperationRecord> {
        SQLite::Statement select(*m_database,
                                 std::string("SELECT ") + kRecordColumns
                                     + " FROM operations WHERE target = ? AND operation IN (?, ?) "
                                       "ORDER BY id DESC LIMIT 1");
        select.bind(1, std::string(target));
        select.bind(2, std::string(operationText(OperationKind::Write)));
        select.bind(3, std::string(operationText(OperationKind::Restore)));
        if (!select.executeStep())
            return std::nullopt;
        return recordOf(select);
    });
}

SettingsImage HistoryStore::image(const std::string& digest)
{
    return guarded([&] {
        SQLite::Statement select(*m_database, "SELECT bytes FROM images WHERE digest = ?");
        select.bind(1, digest);
        if (!select.executeStep())
            throw HistoryError(m_path + ": no image " + digest);
        const SQLite::Column bytes = select.getColumn(0);
        SettingsImage image;
        if (static_cast<std::size_t>(bytes.getBytes()) == image.bytes().size())
            std::memcpy(image.bytes().data(), bytes.getBlob(), image.bytes().size());
        if (static_cast<std::size_t>(bytes.getBytes()) != image.bytes().size() || imageDigest(image) != digest)
            throw HistoryError(m_path + ": image " + digest + " is damaged");
        return image;
    });
}

PruneCount HistoryStore::prune(std::int64_t endedBeforeMs)
{
    return guarded([&] {
        SQLite::Transaction transaction(*m_database, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement operations(*m_database,
                                     "DELETE FROM operations WHERE outcome != 'running' "
                                     "AND coalesce(ended_ms, started_ms) < ?");
        operations.bind(1, endedBeforeMs);
        PruneCount count;
        count.operations = operations.exec();
        count.images = m_database->exec("DELETE FROM images WHERE digest NOT IN ("
                                        "SELECT sent_image FROM operations WHERE sent_image IS NOT NULL "
                                        "UNION SELECT read_image FROM operations WHERE read_image IS NOT NULL "
                                        "UNION SELECT backup_image FROM operations WHERE backup_image IS NOT NULL)");
        transaction.commit();
        return count;
    });
}

std::unique_ptr<HistoryStore> openHistoryStore(const HistoryLocation& location)
{
    if (location.perUser) {
        std::filesystem::path folder;
        for (const auto& part : std::filesystem::path(location.path).parent_path()) {
            folder /= part;
            if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
                throw HistoryError(folder.string() + ": " + systemReason(errno));
        }
    }
    return std::make_unique<HistoryStore>(location.path);
}

OpenedHistory openHistory(const std::optional<std::string>& chosen)
{
    OpenedHistory opened;
    const std::optional<HistoryLocation> location = historyLocation(chosen);
    if (!location) {
        opened.unavailable = "no folder for it: HOME, XDG_DATA_HOME and TELVOR_HISTORY are unset";
        return opened;
    }
    try {
        opened.store = openHistoryStore(*location);
    } catch (const HistoryError& error) {
        opened.unavailable = error.what();
    }
    return opened;
}

} // namespace telvor
