#include "link/reply_rules.h"

namespace telvor {

namespace {

constexpr std::string_view kAcknowledgement = "OK\r";
constexpr std::string_view kAnswerEnd = "\rOK\r";

} // namespace

std::string framedLine(std::string_view text, std::size_t lineCapacity)
{
    if (text.size() + 1 > lineCapacity)
        return {};
    std::string line(text);
    line.push_back('\r');
    return line;
}

bool isVersionCommand(std::string_view text)
{
    return text.starts_with("VER?");
}

bool commandReplyComplete(std::string_view held)
{
    return held.ends_with(kAcknowledgement);
}

bool versionReplyComplete(std::string_view held)
{
    return held.starts_with(kAcknowledgement) && held.ends_with('\r');
}

bool queryAnswerComplete(std::string_view held)
{
    return held.ends_with(kAnswerEnd);
}

bool serialReplyAcknowledged(std::string_view reply)
{
    return reply.starts_with(kAcknowledgement);
}

std::string controlBytesAsBlanks(std::string_view bytes)
{
    std::string text(bytes);
    for (char& byte : text) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x20 || value > 0x7F)
            byte = ' ';
    }
    return text;
}

std::string serialReplyText(std::string_view reply)
{
    if (!serialReplyAcknowledged(reply))
        return {};
    return controlBytesAsBlanks(reply.substr(kAcknowledgement.size()));
}

std::string versionReplyText(std::string_view reply)
{
    if (!reply.starts_with(kAcknowledgement))
        return {};
    const auto text = reply.substr(kAcknowledgement.size());
    return controlBytesAsBlanks(text.substr(0, text.find('\r')));
}

} // namespace telvor
