#include "link/reply_rules.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

namespace telvor {
namespace {

using namespace std::string_literals;

struct CompletionCase {
    const char* name;
    std::string held;
    bool command;
    bool version;
    bool query;
    bool serialAcknowledged;
    bool serialVersion;
};

class CompletionTest : public ::testing::TestWithParam<CompletionCase> {};

TEST_P(CompletionTest, DecidesEachKindOfReply)
{
    const CompletionCase& row = GetParam();
    EXPECT_EQ(commandReplyComplete(row.held), row.command);
    EXPECT_EQ(versionReplyComplete(row.held), row.version);
    EXPECT_EQ(queryAnswerComplete(row.held), row.query);
    EXPECT_EQ(serialReplyAcknowledged(row.held), row.serialAcknowledged);
    EXPECT_EQ(serialVersionReplyComplete(row.held), row.serialVersion);
    EXPECT_EQ(serialReplyLooksComplete(ReplyKind::Command, row.held), row.command);
    EXPECT_EQ(serialReplyLooksComplete(ReplyKind::Version, row.held), row.serialVersion);
    EXPECT_EQ(serialReplyLooksComplete(ReplyKind::Query, row.held), row.query);
}

INSTANTIATE_TEST_SUITE_P(
    Held, CompletionTest,
    ::testing::Values(CompletionCase{"Nothing", "", false, false, false, false, false},
                      CompletionCase{"FirstByte", "O", false, false, false, false, false},
                      CompletionCase{"OkWithoutCr", "OK", false, false, false, false, false},
                      CompletionCase{"Acknowledgement", "OK\r", true, true, false, true, false},
                      CompletionCase{"AcknowledgementAfterLines", "A=1\rOK\r", true, false, true, false, false},
                      CompletionCase{"AcknowledgementAfterText", "xOK\r", true, false, false, false, false},
                      CompletionCase{"VersionReply", "OK\rv2.8E\r", false, true, false, true, true},
                      CompletionCase{"VersionTextUnfinished", "OK\rv2.8E", false, false, false, true, false},
                      CompletionCase{"VersionLineEmpty", "OK\r\r", false, true, false, true, false},
                      CompletionCase{"VersionLineOfControlBytes", "OK\r\n\x01\r", false, true, false, true, false},
                      CompletionCase{"VersionAfterEmptyLine", "OK\r\rv3.6\r", false, true, false, true, true},
                      CompletionCase{"VersionLineThenLineFeed", "OK\rv3.6\r\n", false, false, false, true, false},
                      CompletionCase{"VersionThenAcknowledgement", "OK\rv3.6E\rOK\r", true, true, true, true, true},
                      CompletionCase{"AcknowledgementThenLineFeed", "OK\r\n", false, false, false, true, false},
                      CompletionCase{"AnswerEnd", "\rOK\r", true, false, true, false, false},
                      CompletionCase{"AcknowledgementTwice", "OK\rOK\r", true, true, true, true, true},
                      CompletionCase{"LowerCase", "ok\r", false, false, false, false, false},
                      CompletionCase{"LineFeedInsteadOfCr", "OK\n", false, false, false, false, false},
                      CompletionCase{"ErrorLine", "ERROR\r", false, false, false, false, false},
                      CompletionCase{"ZeroBytesBefore", "\0\0OK\r"s, true, false, false, false, false}),
    test_support::RowName());

TEST(ReplyTextTest, SerialTextIsEverythingAfterTheAcknowledgement)
{
    EXPECT_EQ(serialReplyText("OK\rv2.8E\r"), "v2.8E ");
    EXPECT_EQ(serialReplyText("OK\r"), "");
    EXPECT_EQ(serialReplyText("OK\r\x1F \x7F\x80\xFF~\r\n"), "  \x7F  ~  ");
    EXPECT_EQ(serialReplyText("OK\ra\0b"s), "a b");
    EXPECT_EQ(serialReplyText("ERROR\r"), "");
}

TEST(ReplyTextTest, VersionTextEndsAtTheFirstCarriageReturn)
{
    EXPECT_EQ(versionReplyText("OK\rv2.8E\r"), "v2.8E");
    EXPECT_EQ(versionReplyText("OK\r"), "");
    EXPECT_EQ(versionReplyText("OK\r\r"), "");
    EXPECT_EQ(versionReplyText("OK\rv3.6\nX\rOK\r"), "v3.6 X");
    EXPECT_EQ(versionReplyText("OK\rv3.6\xB9"), "v3.6 ");
    EXPECT_EQ(versionReplyText("OK"), "");
}

TEST(VersionCommandTest, RecognisedByItsFirstFourCharacters)
{
    EXPECT_TRUE(isVersionCommand("VER?"));
    EXPECT_TRUE(isVersionCommand("VER?X"));
    EXPECT_FALSE(isVersionCommand("VER"));
    EXPECT_FALSE(isVersionCommand("ver?"));
    EXPECT_FALSE(isVersionCommand(" VER?"));
}

TEST(FramedLineTest, TextAndOneCarriageReturnThatFitTheLineBuffer)
{
    EXPECT_EQ(framedLine("HALT!", kCommandLineCapacity), "HALT!\r");
    EXPECT_EQ(framedLine("", kCommandLineCapacity), "\r");
    EXPECT_EQ(framedLine(std::string(1023, 'Q'), kQueryLineCapacity), std::string(1023, 'Q') + "\r");
    EXPECT_EQ(framedLine(std::string(1024, 'Q'), kQueryLineCapacity), "");
    EXPECT_EQ(framedLine(std::string(4095, 'C'), kCommandLineCapacity).size(), 4096u);
    EXPECT_EQ(framedLine(std::string(4096, 'C'), kCommandLineCapacity), "");
}

} // namespace
} // namespace telvor
