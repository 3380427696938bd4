#include "link/elapsed_timer.h"
#include "link/timing.h"

#include "support/row_name.h"

#include <gtest/gtest.h>

#include <poll.h>

namespace telvor {
namespace {

TEST(TimingTest, ProductionLimits)
{
    const Timing timing;
    EXPECT_EQ(timing.serialInterByte.count(), 500);
    EXPECT_EQ(timing.serialSettle.count(), 20);
    EXPECT_EQ(timing.serialSettleDirect.count(), 8);
    EXPECT_EQ((timing.serialReadBase + timing.serialReadPerByte * 40).count(), 5400);
    EXPECT_EQ((timing.serialReadBase + timing.serialReadPerByte * 4096).count(), 45960);
    EXPECT_EQ(timing.tcpConnect.count(), 5000);
    EXPECT_EQ(timing.tcpConnectWait.count(), 1000);
    EXPECT_EQ(timing.tcpAttemptDelay.count(), 250);
    EXPECT_EQ(timing.tcpCommand.count(), 5000);
    EXPECT_EQ(timing.tcpQuery.count(), 3000);
    EXPECT_EQ(timing.tcpCloseDelay.count(), 50);
    EXPECT_EQ(timing.keepAliveSlice.count(), 50);
}

TEST(TimingTest, ScaledDownDividesEveryLimitKeepingOneMillisecond)
{
    const Timing scaled = Timing{}.scaledDown(100);
    EXPECT_EQ(scaled.serialInterByte.count(), 5);
    EXPECT_EQ(scaled.serialSettle.count(), 1);
    EXPECT_EQ(scaled.serialSettleDirect.count(), 1);
    EXPECT_EQ(scaled.serialReadBase.count(), 50);
    EXPECT_EQ(scaled.serialReadPerByte.count(), 1);
    EXPECT_EQ(scaled.serialWriteBase.count(), 6);
    EXPECT_EQ(scaled.serialWritePerByte.count(), 1);
    EXPECT_EQ(scaled.tcpConnect.count(), 50);
    EXPECT_EQ(scaled.tcpConnectWait.count(), 10);
    EXPECT_EQ(scaled.tcpAttemptDelay.count(), 2);
    EXPECT_EQ(scaled.tcpCommand.count(), 50);
    EXPECT_EQ(scaled.tcpQuery.count(), 30);
    EXPECT_EQ(scaled.tcpCloseDelay.count(), 1);
    EXPECT_EQ(scaled.keepAliveSlice.count(), 1);
    EXPECT_EQ(scaled.rewriteDelayShort.count(), 1);
    EXPECT_EQ(scaled.rewriteDelayLong.count(), 2);
}

TEST(TimingTest, DivisorBelowOneKeepsTheLimits)
{
    EXPECT_EQ(Timing{}.scaledDown(0).tcpCommand.count(), 5000);
    EXPECT_EQ(Timing{}.scaledDown(-3).serialInterByte.count(), 500);
}

struct SecondsRow {
    const char* name;
    long milliseconds;
    const char* text;
};

class SecondsText : public testing::TestWithParam<SecondsRow> {};

TEST_P(SecondsText, NamesTheLimitAsAMessageDoes)
{
    EXPECT_EQ(secondsText(Milliseconds{GetParam().milliseconds}), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, SecondsText,
                         testing::Values(SecondsRow{"WholeSeconds", 5000, "5 s"}, SecondsRow{"Tenths", 500, "0.5 s"},
                                         SecondsRow{"Hundredths", 250, "0.25 s"},
                                         SecondsRow{"Thousandths", 1, "0.001 s"},
                                         SecondsRow{"SecondsAndThousandths", 12034, "12.034 s"},
                                         SecondsRow{"Nothing", 0, "0 s"}),
                         test_support::RowName());

TEST(ElapsedTimerTest, CountsFromTheLastRestart)
{
    ElapsedTimer timer;
    ::poll(nullptr, 0, 30);
    const auto beforeRestart = timer.elapsedMs();
    EXPECT_GE(beforeRestart, 30u);
    timer.restart();
    EXPECT_LT(timer.elapsedMs(), beforeRestart);
}

} // namespace
} // namespace telvor
