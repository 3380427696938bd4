#include "cli/console_surface.h"
#include "cli/traffic_trace.h"
#include "support/row_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace telvor {
namespace {

using testing::ElementsAre;

class TraceRecorder {
public:
    TraceRecorder()
        : trace([this](std::string_view line) { lines.emplace_back(line); }, [this] { return now; })
    {
    }

    TrafficTrace::Clock::time_point now{};
    std::vector<std::string> lines;
    TrafficTrace trace;
};

TEST(TrafficTrace, SentLinesAreStampedAndPrintedOnceComplete)
{
    TraceRecorder recorder;
    recorder.now += std::chrono::milliseconds(7);
    recorder.trace.sent("HALT");
    EXPECT_TRUE(recorder.lines.empty());
    recorder.now += std::chrono::milliseconds(5);
    recorder.trace.sent("!\rVER?\r");
    EXPECT_THAT(recorder.lines, ElementsAre("12 > HALT!", "12 > VER?"));
}

TEST(TrafficTrace, ReceivedBytesShowTheirControlCharacters)
{
    TraceRecorder recorder;
    recorder.now += std::chrono::milliseconds(1500);
    recorder.trace.received(std::string("OK\rv3.6E\r\n\x01\x7F\xE8", 13));
    EXPECT_THAT(recorder.lines, ElementsAre("1500 < OK\\rv3.6E\\r\\n\\x01\\x7F\xE8"));
}

struct SentCase {
    const char* name;
    std::string line;
    std::string shown;
};

class SentSecrets : public testing::TestWithParam<SentCase> {};

TEST_P(SentSecrets, AreHidden)
{
    EXPECT_EQ(maskSecrets(GetParam().line), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Lines, SentSecrets,
                         testing::Values(SentCase{"PinBeforeNumbers",
                                                  "PIN=1234 NUM0=+48601 NUM1=", "PIN=*** NUM0=+48601 NUM1="},
                                         SentCase{"EmptyPin", "PIN= NUM0= NUM1=", "PIN=*** NUM0= NUM1="},
                                         SentCase{"PasswordWithBlanks", "APN2=my secret, word", "APN2=***"},
                                         SentCase{"MailPassword", "APN5=a=b", "APN5=***"},
                                         SentCase{"OtherAccessPointsShown", "APN1=internet", "APN1=internet"},
                                         SentCase{"KeyInsideAValueIsText", "SMS1=your PIN=1 is", "SMS1=your PIN=***"},
                                         SentCase{"NoSecret", "HALT!", "HALT!"}),
                         test_support::RowName());

TEST(TrafficTrace, ReceivedSecretsAreHiddenAcrossPieces)
{
    TraceRecorder recorder;
    recorder.trace.received("PIN=12");
    recorder.trace.received("34\rNUM0=+4860\rAP");
    recorder.trace.received("N2=pass");
    recorder.trace.received("word\rAPN5=x\rOK\r");
    EXPECT_THAT(recorder.lines,
                ElementsAre("0 < PIN=***", "0 < \\rNUM0=+4860\\rAP", "0 < N2=***", "0 < \\rAPN5=***\\rOK\\r"));
}

TEST(TrafficTrace, SentSecretsAreHiddenInEveryLine)
{
    TraceRecorder recorder;
    recorder.trace.sent("APN2=pass word\rAPN3=visible\r");
    EXPECT_THAT(recorder.lines, ElementsAre("0 > APN2=***", "0 > APN3=visible"));
}

TEST(ConsoleSurface, StatusLinesTurnEachCarriageReturnLineFeedIntoOneNewline)
{
    EXPECT_EQ(statusLines("Configuration transferred to device,\r\nverification successful.,RTC updated,\r\ndevice "
                          "reset."),
              "Configuration transferred to device,\nverification successful.,RTC updated,\ndevice reset.");
    EXPECT_EQ(statusLines("a\rb\nc"), "a\rb\nc");
}

} // namespace
} // namespace telvor
