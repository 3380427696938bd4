// The receipt of one device of a fleet run: what it was given, how it
// ended, and where the history keeps the details; one JSON object per line
// of the receipts file, appended as each device ends.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvor {

// "written"; "unreachable": the connection could not be opened or the
// version check went unanswered; "failed": anything that went wrong after
// that; "skipped": written and verified before, as the history shows;
// "interrupted": stopped at the user's request, or never started after it.
enum class DeviceOutcome { Written, Unreachable, Failed, Skipped, Interrupted };

std::string_view deviceOutcomeText(DeviceOutcome outcome);

struct Receipt {
    std::string target; // as the history names it
    std::string name;
    // Milliseconds since 1970-01-01 UTC: the first attempt's start, the
    // last one's end.
    std::int64_t startedMs = 0;
    std::int64_t endedMs = 0;
    DeviceOutcome outcome = DeviceOutcome::Failed;
    // The final status text and the device's version text as the device and
    // the operations gave them: Windows-1250, status lines ended by CR LF.
    std::string status;
    std::string version;
    // SHA-256 in lowercase hex; the backup's empty when none was kept.
    std::string imageDigest;
    std::string backupDigest;
    // The history's operations of this device, oldest first; for a skipped
    // device the one that showed it written.
    std::vector<std::int64_t> historyIds;
    int attempts = 0;
};

// The receipt as one line of JSON, without its line feed: texts in UTF-8,
// times in ISO 8601 UTC with Z, a text or digest that is not known null.
std::string receiptLine(const Receipt& receipt);

// A receipts file, appended to; any thread may append. Each receipt goes to
// the file with one write of its own as it is appended, so that the file is
// whole up to the last receipt whatever becomes of the program.
class ReceiptFile {
public:
    ReceiptFile() = default;
    ~ReceiptFile();
    ReceiptFile(const ReceiptFile&) = delete;
    ReceiptFile& operator=(const ReceiptFile&) = delete;

    // Opens (or makes) the file for appending; the reason when it cannot.
    std::optional<std::string> open(const std::string& path);
    // False when the receipt could not be written whole; failure() says why.
    bool append(const Receipt& receipt);
    // The first failure to append, with the file's name; empty when none.
    std::string failure() const;
    const std::string& path() const { return m_path; }

private:
    mutable std::mutex m_mutex;
    std::string m_path;
    int m_descriptor = -1;
    std::string m_failure;
};

} // namespace telvor
