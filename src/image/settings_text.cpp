#include "settings_text.h"

#include "settings_parser.h"

namespace telvor {
namespace {

// The version whose answers carry every value of every key.
constexpr int kFullVersion = 0x36;

// True when the line alone changes an all-zero or an all-0xFF image: it
// holds a key, whatever its value.
bool setsAField(std::string_view line)
{
    for (const std::uint8_t fill : {0x00, 0xFF}) {
        SettingsImage probe;
        probe.bytes().fill(fill);
        const SettingsImage before = probe;
        parseSettings(line, probe, kFullVersion);
        if (probe != before)
            return true;
    }
    return false;
}

} // namespace

SettingsTextResult settingsFromText(std::string_view text, SettingsImage& image)
{
    std::string answer;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty() || line.starts_with('#'))
            continue;
        if (!setsAField(line))
            return {false, "line " + std::to_string(lineNumber) + " sets no field: " + std::string(line)};
        answer += line;
        answer += '\r';
    }
    parseSettings(answer, image, kFullVersion);
    return {true, {}};
}

} // namespace telvor
