#include "traffic_trace.h"

#include <array>
#include <cstdio>

namespace telvor {

namespace {

constexpr std::array<std::string_view, 3> kSecretKeys = {"PIN=", "APN2=", "APN5="};
constexpr std::string_view kHidden = "***";
constexpr std::size_t kLongestSecretKey = 5;

bool isSeparator(char character)
{
    return character == '\r' || character == '\n' || character == ' ';
}

bool isUpper(char character)
{
    return character >= 'A' && character <= 'Z';
}

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

// True when an assignment KEY= (capitals, then digits or a lower-case x)
// begins at `position`.
bool assignmentAt(std::string_view line, std::size_t position)
{
    std::size_t end = position;
    while (end < line.size() && isUpper(line[end]))
        ++end;
    if (end == position)
        return false;
    while (end < line.size() && (isDigit(line[end]) || line[end] == 'x'))
        ++end;
    return end < line.size() && line[end] == '=';
}

std::size_t secretKeyLengthAt(std::string_view line, std::size_t position)
{
    if (position > 0 && line[position - 1] != ' ')
        return 0;
    for (std::string_view key : kSecretKeys)
        if (line.substr(position).starts_with(key))
            return key.size();
    return 0;
}

} // namespace

std::string visibleBytes(std::string_view bytes)
{
    std::string text;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '\r') {
            text += "\\r";
        } else if (byte == '\n') {
            text += "\\n";
        } else if (code < 0x20 || code == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", code);
            text += escape;
        } else {
            text += byte;
        }
    }
    return text;
}

std::string maskSecrets(std::string_view line)
{
    std::string masked;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t keyLength = secretKeyLengthAt(line, position);
        if (keyLength == 0) {
            masked += line[position++];
            continue;
        }
        masked.append(line.substr(position, keyLength));
        masked += kHidden;
        position += keyLength;
        while (position < line.size() && !(line[position] == ' ' && assignmentAt(line, position + 1)))
            ++position;
    }
    return masked;
}

TrafficTrace::TrafficTrace(std::function<void(std::string_view)> printLine, std::function<Clock::time_point()> now)
    : m_printLine(std::move(printLine))
    , m_now(std::move(now))
    , m_start(m_now())
{
}

std::string TrafficTrace::stamp() const
{
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(m_now() - m_start).count());
}

void TrafficTrace::sent(std::string_view bytes)
{
    for (const char byte : bytes) {
        if (byte != '\r') {
            m_pendingLine += byte;
            continue;
        }
        m_printLine(stamp() + " > " + visibleBytes(maskSecrets(m_pendingLine)));
        m_pendingLine.clear();
    }
}

void TrafficTrace::received(std::string_view bytes)
{
    m_printLine(stamp() + " < " + visibleBytes(maskReceived(bytes)));
}

// Answer lines are KEY=value CR; a piece may end anywhere, even inside a key,
// so the last bytes seen stay with the trace until the next piece.
std::string TrafficTrace::maskReceived(std::string_view bytes)
{
    std::string shown;
    for (const char byte : bytes) {
        const bool endOfValue = byte == '\r' || byte == '\n' || byte == '\0';
        if (m_hidingReceived && !endOfValue)
            continue;
        m_hidingReceived = false;
        shown += byte;
        m_receivedTail += byte;
        if (m_receivedTail.size() > kLongestSecretKey + 1)
            m_receivedTail.erase(0, m_receivedTail.size() - kLongestSecretKey - 1);
        for (std::string_view key : kSecretKeys) {
            if (!std::string_view(m_receivedTail).ends_with(key))
                continue;
            const std::size_t start = m_receivedTail.size() - key.size();
            if (start == 0 || isSeparator(m_receivedTail[start - 1])) {
                shown += kHidden;
                m_hidingReceived = true;
            }
        }
    }
    return shown;
}

} // namespace telvor
