#include "fleet/fleet_receipt.h"

#include "document/windows_1250_text.h"
#include "history/history_time.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvor {

namespace {

constexpr std::array<std::string_view, 5> kOutcomeTexts
    = {"written", "unreachable", "failed", "skipped", "interrupted"};

// In the order of the receipt's description, for a person reading the file.
using Json = nlohmann::ordered_json;

Json textOrNull(const std::string& text)
{
    return text.empty() ? Json(nullptr) : Json(text);
}

// The device's text in UTF-8, each CR LF a line feed.
std::string readableText(std::string_view windows1250)
{
    std::string text = utf8FromWindows1250(windows1250);
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

} // namespace

std::string_view deviceOutcomeText(DeviceOutcome outcome)
{
    return kOutcomeTexts.at(static_cast<std::size_t>(outcome));
}

std::string receiptLine(const Receipt& receipt)
{
    const Json line = {
        {"target", receipt.target},
        {"name", receipt.name},
        {"started", isoUtcText(receipt.startedMs)},
        {"ended", isoUtcText(receipt.endedMs)},
        {"outcome", deviceOutcomeText(receipt.outcome)},
        {"status", readableText(receipt.status)},
        {"version", textOrNull(readableText(receipt.version))},
        {"image_sha256", textOrNull(receipt.imageDigest)},
        {"backup_sha256", textOrNull(receipt.backupDigest)},
        {"history_ids", receipt.historyIds},
        {"attempts", receipt.attempts},
    };
    // A name or host from the plan may be no valid UTF-8; the line must
    // still be valid JSON.
    return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

ReceiptFile::~ReceiptFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::optional<std::string> ReceiptFile::open(const std::string& path)
{
    m_path = path;
    m_descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (m_descriptor < 0)
        return path + ": " + std::strerror(errno);
    return std::nullopt;
}

bool ReceiptFile::append(const Receipt& receipt)
{
    const std::string line = receiptLine(receipt) + "\n";
    const std::lock_guard lock(m_mutex);
    struct stat before {};
    const bool sized = ::fstat(m_descriptor, &before) == 0;
    ssize_t written = -1;
    do
        written = ::write(m_descriptor, line.data(), line.size());
    while (written < 0 && errno == EINTR);
    if (written == static_cast<ssize_t>(line.size()))
        return true;
    const int error = written < 0 ? errno : ENOSPC;
    // Half a line would spoil every line after it.
    if (written > 0 && sized) {
        [[maybe_unused]] const int cut = ::ftruncate(m_descriptor, before.st_size);
    }
    if (m_failure.empty())
        m_failure = m_path + ": " + std::strerror(error);
    return false;
}

std::string ReceiptFile::failure() const
{
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

} // namespace telvor
