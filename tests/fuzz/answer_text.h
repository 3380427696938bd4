// The answer text of a whole settings image, as telvorctl show lists it and
// a device sends it, and the bytes that the parser may ever write.
#pragma once

#include "image/answer_keys.h"
#include "image/answer_lines.h"
#include "image/settings_image.h"

#include <array>
#include <string>

namespace telvor {

// Every key's answer lines in the parser's key order, each ended by CR LF.
inline std::string answerText(const SettingsImage& image, int versionNumber)
{
    std::string text;
    for (const AnswerKey& key : kAnswerKeys)
        for (const std::string& line : answerLines(key.name(), image, versionNumber))
            text += line + "\r\n";
    return text;
}

// True for each byte of the image that some key of the vocabulary fills.
inline std::array<bool, kImageSize> parsedBytes()
{
    std::array<bool, kImageSize> parsed{};
    const auto mark = [&](const Slot& target) {
        for (int byte = 0; byte < target.width; ++byte)
            parsed[static_cast<std::size_t>(target.offset + byte)] = true;
    };
    for (const AnswerKey& key : kAnswerKeys)
        for (int value = 0; value < key.count; ++value)
            mark(valueSlot(key, value));
    mark(kBalanceCodeSeventh);
    mark(kBalanceCodeEighth);
    return parsed;
}

} // namespace telvor
