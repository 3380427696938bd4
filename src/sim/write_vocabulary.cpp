#include "write_vocabulary.h"

#include <array>
#include <charconv>
#include <optional>
#include <utility>

namespace telvor {

namespace {

// The texts that share a write line with a later assignment, and the key of
// that assignment.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kTextFollowers = {{
    {"PIN", "NUM0"},
    {"NUM0", "NUM1"},
    {"NUM2", "NUM3"},
    {"NUM4", "NUM5"},
    {"NUM6", "NUM7"},
    {"NUM7", "NUM8"},
    {"NUM9", "NUM10"},
}};

// Keys whose values go to fields stored apart: value k to part k.
constexpr std::array<std::pair<std::string_view, int>, 4> kMultiValueKeys = {{
    {"RCFG", 3},
    {"CLIP", 2},
    {"CTRL", 2},
    {"ALMD", 2},
}};

// The hour sets carry bytes 0 to 2; byte 3 is not on the wire.
constexpr int kHourBytesSent = 3;

constexpr std::string_view kBalanceCheckKey = "URL2";
constexpr int kBalanceCheckExtraFirst = 7;
constexpr int kBalanceCheckExtraLast = 8;

std::optional<std::string_view> followerOf(std::string_view textKey)
{
    for (const auto& [key, follower] : kTextFollowers)
        if (key == textKey)
            return follower;
    return std::nullopt;
}

int valueCountOf(std::string_view key)
{
    for (const auto& [multiKey, count] : kMultiValueKeys)
        if (multiKey == key)
            return count;
    return 1;
}

// Comma-separated decimal numbers; each must be a whole number. Reading
// stops at the first one that is not.
std::vector<long> numbersOf(std::string_view value)
{
    std::vector<long> numbers;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t comma = value.find(',', start);
        if (comma == std::string_view::npos)
            comma = value.size();
        const std::string_view item = value.substr(start, comma - start);
        long number = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number);
        if (item.empty() || error != std::errc() || end != item.data() + item.size())
            break;
        numbers.push_back(number);
        start = comma + 1;
    }
    return numbers;
}

bool isTextKey(std::string_view key)
{
    const std::optional<Slot> found = slotByName(key);
    return found && found->encoding == Text;
}

void storeBalanceCheckCode(std::string_view code, SettingsImage& image)
{
    const Slot first = *slotByName(kBalanceCheckKey);
    image.setText(first, code.substr(0, first.width));
    for (int part = kBalanceCheckExtraFirst; part <= kBalanceCheckExtraLast; ++part) {
        const std::size_t position = static_cast<std::size_t>(first.width + part - kBalanceCheckExtraFirst);
        const auto character = position < code.size() ? static_cast<std::uint8_t>(code[position]) : 0;
        image.setU8(*slotByName(kBalanceCheckKey, part), character);
    }
}

bool storeNumbers(std::string_view key, std::string_view value, SettingsImage& image)
{
    const std::vector<long> numbers = numbersOf(value);
    if (numbers.empty())
        return false;
    const std::optional<Slot> first = slotByName(key);
    if (!first)
        return false;
    if (first->encoding == Hours) {
        const auto bytes = image.bytesOf(*first);
        for (std::size_t byte = 0; byte < numbers.size() && byte < kHourBytesSent; ++byte)
            bytes[byte] = static_cast<std::uint8_t>(numbers[byte] & 0xFF);
        return true;
    }
    if (first->encoding == Text || first->encoding == Char)
        return false;
    const int count = valueCountOf(key);
    for (int part = 1; part <= count && part <= static_cast<int>(numbers.size()); ++part)
        image.setNumber(*slotByName(key, part), numbers[part - 1]);
    return true;
}

} // namespace

std::vector<std::string> applyWriteLine(std::string_view line, SettingsImage& image)
{
    std::vector<std::string> stored;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t equals = line.find('=', position);
        if (equals == std::string_view::npos)
            break;
        const std::string_view key = line.substr(position, equals - position);
        const std::size_t valueStart = equals + 1;
        std::size_t valueEnd = std::string_view::npos;
        const bool text = key == kBalanceCheckKey || isTextKey(key);
        if (!text) {
            valueEnd = line.find(' ', valueStart);
        } else if (const auto follower = followerOf(key)) {
            const std::string boundary = ' ' + std::string(*follower) + '=';
            valueEnd = line.find(boundary, valueStart);
        }
        const std::string_view value = line.substr(
            valueStart, valueEnd == std::string_view::npos ? std::string_view::npos : valueEnd - valueStart);
        bool applied = true;
        if (key == kBalanceCheckKey)
            storeBalanceCheckCode(value, image);
        else if (text)
            image.setText(*slotByName(key), value);
        else
            applied = storeNumbers(key, value, image);
        if (applied)
            stored.emplace_back(key);
        position = valueEnd == std::string_view::npos ? line.size() : valueEnd + 1;
    }
    return stored;
}

} // namespace telvor
