// The window converts texts with Qt, documents with ICU: for every byte both
// give the same character, and both refuse the same characters, so that a
// text typed in a dialog and one written in a document store the same bytes.
#include "document/windows_1250_text.h"
#include "frontend/windows_1250.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(Windows1250Agreement, EveryByteIsTheSameCharacter)
{
    for (int byte = 0; byte < 256; ++byte) {
        const std::string bytes(1, static_cast<char>(byte));
        EXPECT_EQ(utf8FromWindows1250(bytes), decodeWindows1250(bytes).toStdString()) << "byte " << byte;
    }
}

TEST(Windows1250Agreement, TheSameCharactersAreRefused)
{
    // Every character of the Basic Multilingual Plane but the surrogates.
    for (char32_t codePoint = 1; codePoint < 0x10000; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint < 0xE000)
            continue;
        const QString character = QString::fromUcs4(&codePoint, 1);
        const std::optional<std::string> byQt = encodeWindows1250(character);
        const std::optional<std::string> byIcu = windows1250FromUtf8(character.toStdString());
        ASSERT_EQ(byQt, byIcu) << "U+" << std::hex << static_cast<unsigned>(codePoint);
    }
}

} // namespace
} // namespace telvor
