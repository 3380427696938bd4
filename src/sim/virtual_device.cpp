#include "virtual_device.h"

#include "query_groups.h"
#include "write_vocabulary.h"

#include <algorithm>

namespace telvor {

namespace {

constexpr std::string_view kAcknowledgement = "OK\r";
constexpr std::string_view kError = "ERROR\r";
constexpr std::string_view kVersionQuery = "VER?";
// Neither "OK" CR nor anything a reply could begin with.
constexpr std::string_view kGarbage = "#\x7F?\xFE!\r";

bool beginsWithAny(std::string_view line, const std::vector<std::string>& prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return line.starts_with(prefix); });
}

// The same line with a value that reads back different: the first digit of a
// number moves on by one (9 to 0), the first character of a text changes, and
// an empty text gets one.
std::string corrupted(std::string line)
{
    std::size_t position = line.find('=') + 1;
    if (position < line.size() && line[position] == '-')
        ++position;
    if (position >= line.size())
        return line + 'X';
    char& character = line[position];
    if (character >= '0' && character <= '9')
        character = character == '9' ? '0' : static_cast<char>(character + 1);
    else
        character = character == 'X' ? 'Y' : 'X';
    return line;
}

Reply replyToFault(LineFault fault)
{
    switch (fault) {
    case LineFault::Close:
        return Reply{{}, std::string::npos, true};
    case LineFault::Silent:
        break;
    case LineFault::Error:
        return Reply{std::string(kError)};
    case LineFault::Garbage:
        return Reply{std::string(kGarbage)};
    }
    return {};
}

} // namespace

VirtualDevice::VirtualDevice(const SettingsImage& image, std::string versionText, DeviceFaults faults)
    : m_image(image)
    , m_versionText(std::move(versionText))
    , m_version(decodeVersion(m_versionText))
    , m_faults(std::move(faults))
{
}

void VirtualDevice::beginConnection()
{
    m_lineNumber = 0;
    m_splitter.clear();
}

Reply VirtualDevice::handleLine(std::string_view line)
{
    ++m_lineNumber;
    m_receivedLines.emplace_back(line);
    Reply reply;
    if (const auto fault = m_faults.faultsAt.find(m_lineNumber); fault != m_faults.faultsAt.end())
        reply = replyToFault(fault->second);
    else if (beginsWithAny(line, m_faults.errorPrefixes))
        reply.bytes = kError;
    else if (!beginsWithAny(line, m_faults.silentPrefixes))
        reply = act(line);
    if (m_faults.dropAfter > 0 && m_lineNumber >= m_faults.dropAfter)
        reply.closeAfter = true;
    return reply;
}

std::vector<Reply> VirtualDevice::receive(std::string_view bytes)
{
    std::vector<Reply> replies;
    for (char byte : bytes)
        if (auto line = m_splitter.push(byte))
            replies.push_back(handleLine(*line));
    return replies;
}

Reply VirtualDevice::act(std::string_view line)
{
    if (line == kVersionQuery) {
        // "OK" may come in pieces, the CR after it only together with the
        // version text: a reader that has "OK" CR already holds a whole reply.
        return Reply{std::string(kAcknowledgement) + m_versionText + '\r', kAcknowledgement.size() - 1};
    }
    if (auto lines = queryAnswerLines(line, m_image, m_version))
        return Reply{queryAnswer(std::move(*lines))};
    applyWriteLine(line, m_image);
    return Reply{std::string(kAcknowledgement)};
}

std::string VirtualDevice::queryAnswer(std::vector<std::string> lines)
{
    std::string answer;
    for (std::string& line : lines) {
        const std::string key(answerKeyOf(line));
        if (m_faults.omittedKeys.contains(key))
            continue;
        if (const auto reported = m_faults.reportedValues.find(key); reported != m_faults.reportedValues.end())
            line = key + '=' + reported->second;
        if (corrupts(key))
            line = corrupted(std::move(line));
        answer += line;
        answer += '\r';
    }
    answer += kAcknowledgement;
    return answer;
}

bool VirtualDevice::corrupts(std::string_view key)
{
    const auto limit = m_faults.corruptAnswers.find(key);
    if (limit == m_faults.corruptAnswers.end())
        return false;
    int& done = m_corruptedAnswers[limit->first];
    if (done >= limit->second)
        return false;
    ++done;
    return true;
}

} // namespace telvor
