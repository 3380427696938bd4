// The write rows' formats against their values: a format with a conversion
// too many or too few sends a line with a value missing or shifted onto
// the next key, which no conversation test notices when the value happens
// to be empty. Counted here from the format text itself, independently of
// the formatting code.
#include "operations/write_rows.h"

#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace telvor {
namespace {

enum class Conversion { Number, Text, Unknown };

void PrintTo(Conversion conversion, std::ostream* out)
{
    *out << (conversion == Conversion::Number ? "a number" : conversion == Conversion::Text ? "a text" : "unknown");
}

// Every conversion of a printf-like format, "%%" being none: "%d" and
// "%0Nd" take a number, "%s" a text; anything else after a '%' is a
// conversion no row may use.
std::vector<Conversion> conversionsOf(std::string_view format)
{
    std::vector<Conversion> conversions;
    static const std::regex kConversion("%(%|0[0-9]+d|d|s|.?)");
    const std::string text(format);
    for (auto match = std::sregex_iterator(text.begin(), text.end(), kConversion); match != std::sregex_iterator();
         ++match) {
        const std::string found = match->str(1);
        if (found == "%")
            continue;
        conversions.push_back(found == "s"               ? Conversion::Text
                                  : found.ends_with('d') ? Conversion::Number
                                                         : Conversion::Unknown);
    }
    return conversions;
}

TEST(WriteRowConversions, CountedIndependentlyOfTheFormattingCode)
{
    EXPECT_EQ(conversionsOf("RPTHR=%03d,%03d,%03d"),
              (std::vector{Conversion::Number, Conversion::Number, Conversion::Number}));
    EXPECT_EQ(conversionsOf("SMS%d=%s"), (std::vector{Conversion::Number, Conversion::Text}));
    EXPECT_EQ(conversionsOf("100%% OK"), std::vector<Conversion>{});
    EXPECT_EQ(conversionsOf("A=%x B=%"), (std::vector{Conversion::Unknown, Conversion::Unknown}));
}

std::string rowName(const WriteRow& row)
{
    return row.format.empty() ? std::string("(end of the write)") : std::string(row.format);
}

TEST(WriteRowConversions, EveryFormatHasOneConversionPerValueOfItsKind)
{
    const SettingsImage image;
    const FirmwareVersion version{0x36, 1, 0};
    ASSERT_FALSE(writeRows().empty());
    for (const WriteRow& row : writeRows()) {
        SCOPED_TRACE(rowName(row));
        const std::vector<Conversion> conversions = conversionsOf(row.format);
        ASSERT_EQ(conversions.size(), static_cast<std::size_t>(row.valueCount));
        const int index = row.indexed() ? row.firstIndex : Field::kNotIndexed;
        for (std::size_t at = 0; at < conversions.size(); ++at) {
            const FormatValue value = valueOf(row.lineValues()[at], image, version, index);
            EXPECT_EQ(conversions[at],
                      std::holds_alternative<std::string>(value) ? Conversion::Text : Conversion::Number)
                << "value " << at + 1;
        }
    }
}

// The box and the status of an indexed row may name the index with one
// "%d"; a row without an index has nothing to fill one with.
TEST(WriteRowConversions, FailureTextsTakeAtMostTheIndex)
{
    for (const WriteRow& row : writeRows()) {
        SCOPED_TRACE(rowName(row));
        for (const std::string_view text : {row.box, row.status}) {
            const std::vector<Conversion> conversions = conversionsOf(text);
            if (row.indexed()) {
                EXPECT_LE(conversions.size(), 1u) << text;
                EXPECT_TRUE(conversions.empty() || conversions.front() == Conversion::Number) << text;
            } else {
                EXPECT_TRUE(conversions.empty()) << text;
            }
        }
    }
}

} // namespace
} // namespace telvor
