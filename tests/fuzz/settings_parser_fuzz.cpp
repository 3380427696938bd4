// The settings text parser on arbitrary answers. The first byte is the
// versionNumber, so every version class is reached; the rest is the answer.
#include "answer_text.h"
#include "fuzz_check.h"

#include "image/settings_parser.h"

#include <cstdint>
#include <string_view>

using namespace telvor;

namespace {

constexpr std::uint8_t kUntouched = 0xA5;

// The further fixed-position values that a version below their first one
// never stores: left as they were, or zeroed by their key.
bool belowItsVersionOnlyZeroed(const SettingsImage& image, std::string_view key, int versionNumber)
{
    const AnswerKey answerKey = *findAnswerKey(key);
    for (int value = 1; value < answerKey.count; ++value) {
        const std::uint8_t stored = image.u8(valueSlot(answerKey, value));
        if (versionNumber < answerKey.fromVersion[value] && stored != 0 && stored != kUntouched)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const auto parsed = parsedBytes();
    const int versionNumber = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    SettingsImage image;
    image.bytes().fill(kUntouched);
    parseSettings(text, image, versionNumber);
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        fuzzCheck(parsed[offset] || image.bytes()[offset] == kUntouched, "only the vocabulary's fields change");
    for (const std::string_view key : {"RCFG", "CLIP", "CTRL"})
        fuzzCheck(belowItsVersionOnlyZeroed(image, key, versionNumber), "further values follow the version");

    // Every value stored depends on the text alone, so a second pass over
    // the same text stores the same bytes again.
    SettingsImage again = image;
    parseSettings(text, again, versionNumber);
    fuzzCheck(again == image, "parsing twice equals parsing once");
    return 0;
}
