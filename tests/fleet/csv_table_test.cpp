// Plans as spreadsheets and people write them: quoting, line breaks in
// quoted fields, the separator of the header, a byte order mark, and the
// line each record begins on.
#include "fleet/csv_table.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

struct CsvRow {
    const char* name;
    std::string text;
    char separator;
    // Each record's line and fields.
    std::vector<std::pair<int, std::vector<std::string>>> records;
};

void PrintTo(const CsvRow& row, std::ostream* out)
{
    *out << row.name;
}

class CsvReading : public testing::TestWithParam<CsvRow> {};

TEST_P(CsvReading, GivesEveryRecordWithItsLine)
{
    const CsvRow& row = GetParam();
    const auto read = readCsv(row.text);
    ASSERT_TRUE(std::holds_alternative<CsvTable>(read)) << std::get<CsvError>(read).reason;
    const CsvTable& table = std::get<CsvTable>(read);
    EXPECT_EQ(table.separator, row.separator);
    ASSERT_EQ(table.records.size(), row.records.size());
    for (std::size_t index = 0; index < row.records.size(); ++index) {
        EXPECT_EQ(table.records[index].line, row.records[index].first) << "record " << index;
        EXPECT_EQ(table.records[index].fields, row.records[index].second) << "record " << index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CsvReading,
    testing::Values(
        CsvRow{"CommasAndLineFeeds",
               "target,template\ntcp:a,t.tvr\n",
               ',',
               {{1, {"target", "template"}}, {2, {"tcp:a", "t.tvr"}}}},
        CsvRow{"SemicolonsOfTheHeaderLeaveCommasInValues",
               "target;basic.num_1;messages.L1\r\ntcp:a;+48 600;Alarm, pump 1\r\n",
               ';',
               {{1, {"target", "basic.num_1", "messages.L1"}}, {2, {"tcp:a", "+48 600", "Alarm, pump 1"}}}},
        CsvRow{"ByteOrderMarkIsNoPartOfTheFirstColumn",
               "\xEF\xBB\xBFtarget;template\r\nx;y\r\n",
               ';',
               {{1, {"target", "template"}}, {2, {"x", "y"}}}},
        CsvRow{"QuotedSeparatorAndDoubledQuotes",
               "a,b\n\"x, \"\"y\"\"\",\"\"\n",
               ',',
               {{1, {"a", "b"}}, {2, {"x, \"y\"", ""}}}},
        CsvRow{"QuotedLineBreaksStayAndLinesAreCounted",
               "a;b\r\n\"one\r\ntwo\nthree\";2\r\n3;4\r\n",
               ';',
               {{1, {"a", "b"}}, {2, {"one\r\ntwo\nthree", "2"}}, {5, {"3", "4"}}}},
        CsvRow{"BlankLinesAndEmptyRowsAreLeftOut", "a;b\n\n;\n1;2\n\n", ';', {{1, {"a", "b"}}, {4, {"1", "2"}}}},
        CsvRow{"LastLineWithoutLineBreak", "a,b\n1,2", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        CsvRow{"CarriageReturnsAlone", "a,b\r1,2\r", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        CsvRow{"EmptyLastField", "a,b,\n1,2,\n", ',', {{1, {"a", "b", ""}}, {2, {"1", "2", ""}}}},
        CsvRow{"SemicolonInAQuotedHeaderIsNoSeparator", "\"a;b\",c\n1,2\n", ',', {{1, {"a;b", "c"}}, {2, {"1", "2"}}}},
        CsvRow{
            "HeaderWithoutSeparatorIsCommaSeparated", "target\ntcp:a,b\n", ',', {{1, {"target"}}, {2, {"tcp:a", "b"}}}},
        CsvRow{"QuoteWithinAnUnquotedFieldIsKept", "a,b\n5\" pipe,2\n", ',', {{1, {"a", "b"}}, {2, {"5\" pipe", "2"}}}},
        CsvRow{"BlanksAroundValuesAreKept", "a;b\n x ; y\n", ';', {{1, {"a", "b"}}, {2, {" x ", " y"}}}},
        CsvRow{"SeparatorOfTheFirstLineThatIsNotBlank", "\r\n\r\na;b,c\n", ';', {{3, {"a", "b,c"}}}},
        CsvRow{"NothingAtAll", "", ',', {}}),
    test_support::RowName());

struct CsvErrorRow {
    const char* name;
    std::string text;
    int line;
    std::string reason;
};

void PrintTo(const CsvErrorRow& row, std::ostream* out)
{
    *out << row.name;
}

class CsvRefusal : public testing::TestWithParam<CsvErrorRow> {};

TEST_P(CsvRefusal, NamesTheLine)
{
    const auto read = readCsv(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<CsvError>(read));
    EXPECT_EQ(std::get<CsvError>(read).line, GetParam().line);
    EXPECT_EQ(std::get<CsvError>(read).reason, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Rows, CsvRefusal,
                         testing::Values(CsvErrorRow{"QuoteNeverClosed", "a,b\n1,2\n3,\"open\n4,5\n", 3,
                                                     "a quoted field is not closed"},
                                         CsvErrorRow{"TextAfterTheClosingQuote", "a,b\n1,2\n\"one\ntwo\"x,3\n", 4,
                                                     "a quote inside a quoted field must be doubled"}),
                         test_support::RowName());

} // namespace
} // namespace telvor
