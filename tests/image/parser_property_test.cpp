// Properties of the parser over many images and texts: what show prints reads
// back, truncated answers keep what was complete, and no text makes it read
// outside its bounds or write outside the parsed fields.
#include "image/answer_lines.h"
#include "image/field_value.h"
#include "image/settings_parser.h"
#include "support/parsed_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace telvor {
namespace {

constexpr int kFullVersion = 0x36;
constexpr std::uint8_t kFill = 0x5A;

// One answer line and the field elements that it carries.
struct AnswerLine {
    std::string text;
    std::vector<Slot> elements;
};

std::vector<AnswerLine> answerLinesOf(const SettingsImage& image)
{
    std::vector<AnswerLine> lines;
    for (const AnswerKey& key : kAnswerKeys) {
        const std::vector<std::string> texts = answerLines(key.name(), image, kFullVersion);
        const bool oneLinePerElement = key.kind == ValueKind::NumberedText || key.kind == ValueKind::ExtendedBody;
        for (std::size_t line = 0; line < texts.size(); ++line) {
            AnswerLine answer{texts[line], {}};
            if (oneLinePerElement) {
                answer.elements.push_back(valueSlot(key, static_cast<int>(line)));
            } else {
                for (int value = 0; value < key.count; ++value)
                    answer.elements.push_back(valueSlot(key, value));
            }
            if (key.kind == ValueKind::BalanceCode)
                answer.elements.insert(answer.elements.end(), {kBalanceCodeSeventh, kBalanceCodeEighth});
            lines.push_back(answer);
        }
    }
    return lines;
}

// What show prints, one line per key ended by LF, with every LF made a CR.
std::string shownAsAnswer(const std::vector<AnswerLine>& lines)
{
    std::string text;
    for (const AnswerLine& line : lines)
        text += line.text + '\n';
    std::replace(text.begin(), text.end(), '\n', '\r');
    return text;
}

// Parses exactly `length` bytes held in a buffer of that size, so that a read
// past the end is a read past the allocation.
void parseExactly(const std::string& text, std::size_t length, SettingsImage& image)
{
    const std::vector<char> buffer(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    parseSettings(std::string_view(buffer.data(), buffer.size()), image, kFullVersion);
}

std::array<bool, kImageSize> parsedBytes()
{
    std::array<bool, kImageSize> parsed{};
    for (const Slot& element : parsedSlots())
        for (int byte = 0; byte < element.width; ++byte)
            parsed[element.offset + byte] = true;
    return parsed;
}

// The first byte outside the parsed fields that lost the fill, or kImageSize.
std::size_t firstStrayByte(const SettingsImage& image)
{
    static const std::array<bool, kImageSize> parsed = parsedBytes();
    const std::uint8_t* bytes = image.bytes().data();
    std::size_t offset = 0;
    while (offset < kImageSize && (parsed[offset] || bytes[offset] == kFill))
        ++offset;
    return offset;
}

TEST(ParserProperty, ShownImagesReadBackIntoEveryParsedField)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        const SettingsImage source = randomParsableImage(random);
        SettingsImage target;
        target.bytes().fill(kFill);
        parseSettings(shownAsAnswer(answerLinesOf(source)), target, kFullVersion);
        for (const Slot& element : parsedSlots())
            ASSERT_EQ(fieldValueText(target, element), fieldValueText(source, element))
                << "round " << round << ", " << element.name() << " at " << element.offset;
        ASSERT_EQ(firstStrayByte(target), kImageSize) << "round " << round;
    }
}

// An answer cut anywhere gives every line that was complete (its CR
// included), and the cut line stores nothing outside its own fields.
TEST(ParserProperty, TruncatedAnswersKeepEveryCompleteLine)
{
    std::mt19937 random(7);
    for (int round = 0; round < 2; ++round) {
        const SettingsImage source = randomParsableImage(random);
        const std::vector<AnswerLine> lines = answerLinesOf(source);
        const std::string text = shownAsAnswer(lines);
        for (std::size_t cut = 0; cut <= text.size(); cut += round == 0 ? 1 : 5) {
            SettingsImage target;
            target.bytes().fill(kFill);
            parseExactly(text, cut, target);
            std::size_t lineEnd = 0;
            for (const AnswerLine& line : lines) {
                lineEnd += line.text.size() + 1;
                if (lineEnd > cut)
                    break;
                for (const Slot& element : line.elements)
                    ASSERT_EQ(fieldValueText(target, element), fieldValueText(source, element))
                        << "cut " << cut << ", " << element.name();
            }
            ASSERT_EQ(firstStrayByte(target), kImageSize) << "cut " << cut;
        }
    }
}

// Every key with nothing after it, and with each possible start of a value.
TEST(ParserProperty, TextsEndingRightAfterAKey)
{
    const std::vector<std::string> tails = {"", "1", "12", "-", "1,", "12,3", "123", "159,", "abcdef", "abcdefg", "\r"};
    for (const AnswerKey& key : kAnswerKeys) {
        for (const std::string& stem : {std::string(key.text), std::string(key.text) + "1",
                                        std::string(key.text) + "12", std::string(key.text) + "1="}) {
            for (const std::string& tail : tails) {
                const std::string text = stem + tail;
                for (std::size_t length = 0; length <= text.size(); ++length) {
                    SettingsImage image;
                    image.bytes().fill(kFill);
                    parseExactly(text, length, image);
                    ASSERT_EQ(firstStrayByte(image), kImageSize) << text.substr(0, length);
                }
            }
        }
    }
}

std::string randomText(std::mt19937& random)
{
    static const std::vector<std::string> tokens = [] {
        std::vector<std::string> list = {"0",
                                         "7",
                                         "03",
                                         "159",
                                         "65535",
                                         "70000",
                                         "-1",
                                         "+",
                                         "-",
                                         ",",
                                         " ",
                                         "\r",
                                         "\n",
                                         "\r\n",
                                         "=",
                                         "x",
                                         "OK",
                                         "@UL",
                                         std::string(1, '\0'),
                                         std::string(170, 'a'),
                                         "99999999999999999999999"};
        for (const AnswerKey& key : kAnswerKeys)
            list.emplace_back(key.text);
        return list;
    }();
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size());
    std::uniform_int_distribution<int> length(0, 60);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    for (int token = length(random); token > 0; --token) {
        const std::size_t choice = pick(random);
        text += choice < tokens.size() ? tokens[choice] : std::string(1, static_cast<char>(byte(random)));
    }
    return text;
}

TEST(ParserProperty, RandomTextsStayInsideTheParsedFieldsAndRepeatTheSame)
{
    std::mt19937 random(42);
    for (int round = 0; round < 1500; ++round) {
        const std::string text = randomText(random);
        SettingsImage once;
        once.bytes().fill(kFill);
        parseExactly(text, text.size(), once);
        ASSERT_EQ(firstStrayByte(once), kImageSize) << "round " << round;

        // The fields a text sets do not depend on what they held before.
        SettingsImage twice = once;
        parseExactly(text, text.size(), twice);
        ASSERT_EQ(twice, once) << "round " << round;

        // Nothing after a 0x00 counts.
        SettingsImage upToZero;
        upToZero.bytes().fill(kFill);
        parseExactly(text, std::min(text.size(), text.find('\0')), upToZero);
        ASSERT_EQ(upToZero, once) << "round " << round;
    }
}

} // namespace
} // namespace telvor
