// One device operation as the history holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvor {

enum class OperationKind { Version, Read, Write, Check, Restore };

// "running" until the operation ends; "unreachable" when the connection
// could not be opened or the device did not answer the version check;
// "interrupted" when its process ended before the operation did.
enum class Outcome { Running, Succeeded, Failed, Unreachable, Interrupted };

// "version", "read", "write", "check", "restore".
std::string_view operationText(OperationKind kind);
// "running", "succeeded", "failed", "unreachable", "interrupted".
std::string_view outcomeText(Outcome outcome);
std::optional<Outcome> outcomeNamed(std::string_view text);

// The images of an operation by their SHA-256 in lowercase hex; empty when
// the operation has none of that kind.
struct RecordedImages {
    std::string sent;   // written to the device
    std::string read;   // read from it
    std::string backup; // read from it before a write
};

struct OperationRecord {
    std::int64_t id = 0;
    // Milliseconds since 1970-01-01 UTC.
    std::int64_t startedMs = 0;
    std::optional<std::int64_t> endedMs;
    std::string program;   // "window", "telvorctl"
    std::string operation; // operationText()
    std::string target;    // targetText()
    // The version text and the final status text as the device and the
    // operations gave them: Windows-1250, status lines ended by CR LF.
    std::string version;
    std::string options; // the service options of a write, e.g. "set-clock,reset-device"
    Outcome outcome = Outcome::Running;
    std::string status;
    std::int64_t bytesSent = 0;
    std::int64_t bytesReceived = 0;
    RecordedImages images;
};

} // namespace telvor
