// What the history tests share: a folder of each test's own, open to the
// unprivileged user the file-fault cases drop to; the database's own verdict
// on itself; and work done in a child process, as that user when the tests
// run as root.
#pragma once

#include "history/recorded_operations.h"
#include "image/settings_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace telvor::test_support {

class HistoryFolderTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    std::filesystem::path m_folder;
};

// What PRAGMA integrity_check says of the database: "ok" when it is sound.
std::string integrityOf(const std::string& database);

// How many rows `query` (a SELECT count(*)) counts.
long long countOf(const std::string& database, const std::string& query);

// One operation of `kind` with the device listening on loopback `port`,
// recorded as `recorder` says, on images, a link and a surface of its own.
RecordedResult recordedOnPort(OperationKind kind, int port, const HistoryRecorder& recorder);

// What a read of a virtual device that holds `deviceImage` gives, onto an
// all-zero image.
SettingsImage readFromDeviceHolding(const SettingsImage& deviceImage);

// Runs `body` in a forked child, as uid and gid 65534 when this process is
// root, and gives what it returned through a pipe; "child ended without an
// answer" when it died. The process must have no other thread.
std::string inUnprivilegedChild(const std::function<std::string()>& body);

} // namespace telvor::test_support
