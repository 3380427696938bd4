// The history database: every device operation with its images, recorded as
// it starts and as it ends. Many processes may record into one file at once
// (write-ahead log, a busy timeout); one store may be shared by the threads
// of a process. Every failure is a HistoryError naming the file and the
// reason; the database is never left half-written.
#pragma once

#include "history/history_location.h"
#include "history/operation_record.h"

#include "image/settings_image.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace SQLite {
class Database;
}

namespace telvor {

class HistoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OperationStart {
    std::string_view program;
    OperationKind kind = OperationKind::Version;
    std::string target;
    std::string options;
    const SettingsImage* sent = nullptr;
};

struct OperationEnd {
    Outcome outcome = Outcome::Failed;
    std::string version;
    std::string status;
    std::int64_t bytesSent = 0;
    std::int64_t bytesReceived = 0;
    const SettingsImage* read = nullptr;
};

struct PruneCount {
    int operations = 0;
    int images = 0;
};

class HistoryStore {
public:
    // Opens the database at `path`, made 0600 when it does not exist, and
    // brings an older schema up to date; operations left running by a
    // process that has ended become interrupted. A database of a newer
    // schema is left as it is.
    explicit HistoryStore(const std::string& path);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const std::string& path() const { return m_path; }

    // Each in a transaction of its own. beginOperation() gives the new
    // operation's id; it is running until endOperation(). recordBackup()
    // gives the backup's digest.
    std::int64_t beginOperation(const OperationStart& start);
    std::string recordBackup(std::int64_t id, const SettingsImage& backup);
    void endOperation(std::int64_t id, const OperationEnd& end);

    // Newest first; an empty target means every target, a limit of 0 no limit.
    std::vector<OperationRecord> operations(std::string_view target = {}, int limit = 0);
    std::optional<OperationRecord> operation(std::int64_t id);
    // The newest write or restore recorded on `target`, whatever its
    // outcome: what the device was last given.
    std::optional<OperationRecord> latestWrite(std::string_view target);
    // The image stored under `digest`; an image whose bytes no longer give
    // their digest is refused.
    SettingsImage image(const std::string& digest);
    // Removes the operations that ended before `endedBeforeMs` (an
    // interrupted one counts from its start; running ones stay) and the
    // images no other operation names, in one transaction.
    PruneCount prune(std::int64_t endedBeforeMs);

private:
    template <typename Work>
    auto guarded(Work work);
    void migrate();
    void markInterrupted();

    std::string m_path;
    std::mutex m_mutex;
    std::unique_ptr<SQLite::Database> m_database;
};

// The store at `location`, its folders made first when they are the
// per-user ones.
std::unique_ptr<HistoryStore> openHistoryStore(const HistoryLocation& location);

// The store a program records into, at historyLocation(chosen); or none,
// with the reason.
struct OpenedHistory {
    std::unique_ptr<HistoryStore> store;
    std::string unavailable;
};
OpenedHistory openHistory(const std::optional<std::string>& chosen = std::nullopt);

} // namespace telvor
