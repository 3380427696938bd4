// The device operations as the history records them: each one entered as
// running when it starts and completed when it ends, and a write that first
// reads the device's settings on the same connection and keeps them as its
// backup. The window, telvorctl and any other front end run their operations
// through here, so that what is recorded, and when, is decided once. A
// history that cannot be written never stops an operation, except a write
// whose backup cannot be kept: that write does not start.
#pragma once

#include "history/history_store.h"

#include "image/firmware_version.h"
#include "image/settings_fields.h"
#include "image/settings_image.h"
#include "operations/local_clock.h"
#include "operations/status_surface.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace telvor {

class DeviceLink;

// What an operation works on, as DeviceOperations takes it; everything
// belongs to the caller. The surface's takeControlValues() is called first,
// before the target is recorded: the window points the link there.
struct OperationParts {
    SettingsImage& working;
    SettingsImage& verification;
    FirmwareVersion& firmware;
    DeviceLink& link;
    StatusSurface& surface;
    LocalClock clock = localTimeNow;
};

// Where operations are recorded. Without a store nothing is; `unavailable`
// then tells why, or is empty when the user asked for no history.
struct HistoryRecorder {
    HistoryStore* store = nullptr;
    std::string unavailable;
    std::string_view program; // "window", "telvorctl"
};

enum class BackupState {
    NotTaken,
    Saved,
    NotRead,     // the backup read failed: nothing was written
    NotRecorded, // the history could not keep the backup: nothing was written
};

struct RecordedResult {
    // The operation ended as it should; for a check, the device also holds
    // what the file holds.
    bool done = false;
    Outcome outcome = Outcome::Failed;
    // The operation's history entry; 0 when none was made.
    std::int64_t entry = 0;
    BackupState backup = BackupState::NotTaken;
    // The SHA-256 of the backup kept; empty when none was.
    std::string backupDigest;
    // The final status text as the history keeps it: the surface's, with
    // the history's verdict line where it adds one.
    std::string status;
    // Why the history misses the operation or a part of it; empty when it
    // holds all of it.
    std::string notRecorded;
};

// Runs "Check device version" (Version), "Read from device" (Read, onto the
// working image) or "Write to device" (Write, or Restore for a write of an
// image taken from the history). With `backupFirst` a write reads the
// device's settings onto an all-zero image and records them as its backup
// before it writes. An operation that the link's stop ended is interrupted.
RecordedResult runRecorded(OperationKind kind, const OperationParts& parts, const HistoryRecorder& recorder,
                           bool backupFirst = false);

struct RecordedCheck {
    RecordedResult result;
    // The device's settings were read (and compared).
    bool deviceRead = false;
    // The field elements in which the device differs from the file, in the
    // verification's order.
    std::vector<Slot> differences;
};

// Reads the device onto the working image (all zero) as a read does and
// compares what it holds with `file` as the verification of a write of
// `file` would: only what the device's version has, texts by the
// verification's rules.
RecordedCheck checkRecorded(const OperationParts& parts, const SettingsImage& file, const HistoryRecorder& recorder);

} // namespace telvor
