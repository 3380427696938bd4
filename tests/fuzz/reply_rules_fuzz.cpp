// The link's completion rules on arbitrary bytes arriving in arbitrary
// pieces, as the link holds them: the first byte picks the exchange, then
// each piece is a length byte and up to that many bytes.
#include "fuzz_check.h"

#include "link/reply_rules.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using namespace telvor;

namespace {

enum class Exchange { TcpCommand, TcpVersion, Query, SerialCommand, SerialVersion, Count };

bool endsWith(std::string_view held, std::string_view tail)
{
    if (held.size() < tail.size())
        return false;
    for (std::size_t index = 0; index < tail.size(); ++index)
        if (held[held.size() - tail.size() + index] != tail[index])
            return false;
    return true;
}

bool beginsWithAcknowledgement(std::string_view held)
{
    return held.size() >= 3 && held[0] == 'O' && held[1] == 'K' && held[2] == '\r';
}

bool printable(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char byte) {
        const auto value = static_cast<unsigned char>(byte);
        return value >= 0x20 && value <= 0x7F;
    });
}

// What a reply shows: the bytes after "OK" CR up to `end`, control bytes
// and bytes above 0x7F as blanks.
std::string expectedText(std::string_view held, std::size_t end)
{
    std::string text;
    for (std::size_t index = 3; index < end; ++index) {
        const auto value = static_cast<unsigned char>(held[index]);
        text += value < 0x20 || value > 0x7F ? ' ' : held[index];
    }
    return text;
}

bool complete(Exchange exchange, std::string_view held)
{
    switch (exchange) {
    case Exchange::TcpCommand: {
        const bool done = commandReplyComplete(held);
        fuzzCheck(done == endsWith(held, "OK\r"), "a command reply ends with OK CR");
        return done;
    }
    case Exchange::TcpVersion: {
        const bool done = versionReplyComplete(held);
        fuzzCheck(done == (beginsWithAcknowledgement(held) && endsWith(held, "\r")),
                  "a version reply begins with OK CR and ends with CR");
        if (done) {
            const std::string text = versionReplyText(held);
            const std::size_t end = std::min(held.size(), held.find('\r', 3));
            fuzzCheck(text == expectedText(held, end), "the version text is the first line after OK");
            fuzzCheck(printable(text) && text.find('\r') == std::string::npos, "the version text is printable");
        }
        return done;
    }
    case Exchange::Query: {
        const bool done = queryAnswerComplete(held);
        fuzzCheck(done == endsWith(held, "\rOK\r"), "an answer ends with CR OK CR");
        return done;
    }
    case Exchange::SerialCommand:
    case Exchange::SerialVersion: {
        // A serial reply is whatever came within its first 40 bytes; it is
        // always complete once read.
        const std::string_view reply = held.substr(0, kCommandReplyLength);
        const bool acknowledged = serialReplyAcknowledged(reply);
        fuzzCheck(acknowledged == beginsWithAcknowledgement(reply), "a serial reply is acknowledged by OK CR");
        const std::string text = serialReplyText(reply);
        fuzzCheck(text == (acknowledged ? expectedText(reply, reply.size()) : ""), "a serial reply's text");
        fuzzCheck(printable(text), "a serial reply's text is printable");
        return false;
    }
    case Exchange::Count:
        break;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto exchange = static_cast<Exchange>(data[0] % static_cast<int>(Exchange::Count));
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string held;
    std::size_t position = 0;
    while (position < bytes.size()) {
        const std::size_t length = static_cast<unsigned char>(bytes[position++]);
        std::string_view piece = bytes.substr(position, length);
        position += piece.size();

        const std::string line = framedLine(piece, kQueryLineCapacity);
        fuzzCheck(line.empty() == (piece.size() + 1 > kQueryLineCapacity), "a line that fits is framed");
        fuzzCheck(line.empty() || line == std::string(piece) + '\r', "a framed line is the text and CR");

        // Once the answer buffer is full, nothing more is received.
        piece = piece.substr(0, kAnswerCapacity - held.size());
        held.append(piece);
        if (complete(exchange, held))
            break;
    }
    return 0;
}
