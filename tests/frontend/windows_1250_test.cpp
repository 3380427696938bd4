// The one conversion between the device's Windows-1250 bytes and the text
// the window and telvorctl show.
#include "frontend/windows_1250.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace telvor {
namespace {

TEST(Windows1250, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const QString text = decodeWindows1250(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0xB9], QChar(u'ą'));
    EXPECT_EQ(text[0xB3], QChar(u'ł'));
    EXPECT_EQ(text[0x8F], QChar(u'Ź'));
    EXPECT_EQ(encodeWindows1250(text), std::optional<std::string>(all));
}

struct RefusedCase {
    const char* name;
    const char* text;    // UTF-8
    const char* refused; // UTF-8
};

class Windows1250Refusal : public testing::TestWithParam<RefusedCase> {};

TEST_P(Windows1250Refusal, NamesTheFirstCharacterWithoutAByte)
{
    const QString text = QString::fromUtf8(GetParam().text);
    QString refused;
    EXPECT_EQ(encodeWindows1250(text, &refused), std::nullopt);
    EXPECT_EQ(refused.toStdString(), GetParam().refused);
    EXPECT_EQ(encodeWindows1250(text), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, Windows1250Refusal,
                         testing::Values(RefusedCase{"CyrillicAfterPolish", "abŻЖc", "Ж"},
                                         RefusedCase{"OutsideTheBasicPlane", "a\U0001F600", "\U0001F600"},
                                         RefusedCase{"FirstOfTwo", "ЖŻ€中", "Ж"},
                                         RefusedCase{"AfterEverythingStorable", "Łódź € 中", "中"}),
                         test_support::RowName());

} // namespace
} // namespace telvor
