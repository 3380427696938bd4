// When the bytes held so far make a complete reply or answer, and what text a
// reply carries. Pure functions over the bytes held, so that they can be
// checked without a device and without waiting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace telvor {

// A serial command reads at most this many reply bytes; the rest stays queued
// for the next exchange.
inline constexpr std::size_t kCommandReplyLength = 40;
// The most bytes one answer holds.
inline constexpr std::size_t kAnswerCapacity = 4096;
// The most bytes of a reply text kept; the rest of a longer one is dropped.
inline constexpr std::size_t kReplyTextLimit = 1023;
// A command line and its CR must fit these line buffers.
inline constexpr std::size_t kCommandLineCapacity = 4096;
inline constexpr std::size_t kQueryLineCapacity = 1024;

// The line sent for `text`: the text and one CR. Empty when the text and its
// CR would not fit `lineCapacity` bytes.
std::string framedLine(std::string_view text, std::size_t lineCapacity);

// A command whose reply carries the firmware version text.
bool isVersionCommand(std::string_view text);

// TCP command: the bytes held end with "OK" CR, wherever that stands.
bool commandReplyComplete(std::string_view held);
// TCP "VER?": the bytes held begin with "OK" CR and end with CR.
bool versionReplyComplete(std::string_view held);
// Query answer: at least four bytes held, the last four CR "OK" CR.
bool queryAnswerComplete(std::string_view held);
// Serial command: the reply begins with "OK" CR.
bool serialReplyAcknowledged(std::string_view reply);

// What an exchange waits for: a command's acknowledgement, the version reply
// of "VER?", or a query's answer.
enum class ReplyKind { Command, Version, Query };

// Serial "VER?": the bytes held begin with "OK" CR, end with CR, and hold a
// line of text between the two (a bare "OK" CR is not yet the whole reply:
// the version text follows it).
bool serialVersionReplyComplete(std::string_view held);
// Serial content framing: the bytes held look like a whole reply of `kind`,
// so a short settle without further bytes ends the read. Anything else
// ends only at a pause, at the byte limit or at the total limit.
bool serialReplyLooksComplete(ReplyKind kind, std::string_view held);

// Each byte below 0x20 or above 0x7F becomes a blank.
std::string controlBytesAsBlanks(std::string_view bytes);
// Serial: every byte after "OK" CR, CR included, control bytes as blanks.
std::string serialReplyText(std::string_view reply);
// TCP "VER?": the bytes after "OK" CR up to the next CR, control bytes as
// blanks.
std::string versionReplyText(std::string_view reply);

} // namespace telvor
