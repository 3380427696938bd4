#include "history/history_schema.h"

#include <array>

namespace telvor {

namespace {

// Images are kept once, under their SHA-256, however many operations name
// them. The version and status texts are the device's Windows-1250 bytes,
// kept as they came. Ids are never given twice, also after a prune, so that
// an id once shown always names the same operation. process_id and
// process_start tell whether the process of a running operation still runs.
constexpr std::string_view kFirstSchema = R"sql(
CREATE TABLE images (
    digest TEXT PRIMARY KEY NOT NULL,
    bytes BLOB NOT NULL
);
CREATE TABLE operations (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started_ms INTEGER NOT NULL,
    ended_ms INTEGER,
    program TEXT NOT NULL,
    operation TEXT NOT NULL,
    target TEXT NOT NULL,
    version BLOB NOT NULL DEFAULT x'',
    options TEXT NOT NULL DEFAULT '',
    outcome TEXT NOT NULL,
    status BLOB NOT NULL DEFAULT x'',
    bytes_sent INTEGER NOT NULL DEFAULT 0,
    bytes_received INTEGER NOT NULL DEFAULT 0,
    sent_image TEXT REFERENCES images (digest),
    read_image TEXT REFERENCES images (digest),
    backup_image TEXT REFERENCES images (digest),
    process_id INTEGER NOT NULL,
    process_start TEXT NOT NULL
);
CREATE INDEX operations_by_target ON operations (target, id);
CREATE INDEX running_operations ON operations (outcome) WHERE outcome = 'running';
)sql";

constexpr std::array<std::string_view, 1> kMigrations = {kFirstSchema};

} // namespace

std::span<const std::string_view> historyMigrations()
{
    return kMigrations;
}

} // namespace telvor
