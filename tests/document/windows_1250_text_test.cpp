// ICU's conversion between the device's Windows-1250 bytes and a document's
// UTF-8: every byte comes back, and a character without a byte is named.
#include "document/windows_1250_text.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

TEST(Windows1250Text, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::string utf8 = utf8FromWindows1250(all);
    EXPECT_EQ(windows1250FromUtf8(utf8), std::optional<std::string>(all));
    EXPECT_EQ(utf8FromWindows1250("\xA3\xF3"
                                  "d\x9F"),
              "Łódź");
    EXPECT_EQ(utf8FromWindows1250("\x80\xFF"), "€˙");
    // The bytes without a character come back as the control characters of
    // the same number.
    EXPECT_EQ(utf8FromWindows1250("\x81\x83\x88\x90\x98"), "\u0081\u0083\u0088\u0090\u0098");
    EXPECT_EQ(utf8FromWindows1250(""), "");
}

struct RefusedRow {
    const char* name;
    const char* text;    // UTF-8, or not
    const char* refused; // UTF-8; empty when the text is not UTF-8
};

class Windows1250TextRefusal : public testing::TestWithParam<RefusedRow> {};

TEST_P(Windows1250TextRefusal, NamesTheFirstCharacterWithoutAByte)
{
    Windows1250Refusal refusal{"not set"};
    EXPECT_EQ(windows1250FromUtf8(GetParam().text, &refusal), std::nullopt);
    EXPECT_EQ(refusal.character, GetParam().refused);
    EXPECT_EQ(windows1250FromUtf8(GetParam().text), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, Windows1250TextRefusal,
                         testing::Values(RefusedRow{"CyrillicAfterPolish", "abŻЖc", "Ж"},
                                         RefusedRow{"OutsideTheBasicPlane", "a\U0001F600", "\U0001F600"},
                                         RefusedRow{"ControlCharacterWithoutAByte", "a\u0080", "\u0080"},
                                         RefusedRow{"IgnorableCharacterIsNotDropped", "a\u200Bb", "\u200B"},
                                         RefusedRow{"AfterEverythingStorable", "Łódź € 中", "中"},
                                         RefusedRow{"Windows1250BytesAreNotUtf8",
                                                    "\xA3\xF3"
                                                    "d\x9F",
                                                    ""},
                                         RefusedRow{"CutOffSequence", "ab\xC5", ""}),
                         test_support::RowName());

} // namespace
} // namespace telvor
