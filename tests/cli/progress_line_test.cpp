#include "cli/progress_line.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <vector>

namespace telvor {
namespace {

struct TextRow {
    const char* name;
    int percent;
    const char* step;
    long seconds;
    int columns;
    std::string text;
};

class ProgressText : public testing::TestWithParam<TextRow> {};

TEST_P(ProgressText, FitsTheTerminal)
{
    const TextRow& row = GetParam();
    const std::string text = progressText(row.percent, row.step, row.seconds, row.columns);
    EXPECT_EQ(text, row.text);
    EXPECT_LT(text.size(), static_cast<std::size_t>(row.columns));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProgressText,
    testing::Values(
        TextRow{"StartWithoutStep", 0, "", 0, 80, "[..............................]   0 %  0:00"},
        TextRow{"Half", 50, "Reading settings", 75, 80,
                "[###############...............]  50 %  Reading settings  1:15"},
        TextRow{"Full", 100, "Service commands", 59, 80,
                "[##############################] 100 %  Service commands  0:59"},
        TextRow{"AboveHundredIsFull", 130, "Verifying", 1, 80,
                "[##############################] 100 %  Verifying  0:01"},
        TextRow{"BelowZeroIsEmpty", -5, "Verifying", 1, 80, "[..............................]   0 %  Verifying  0:01"},
        TextRow{"NarrowTerminalNarrowsTheBar", 100, "Writing settings", 0, 45,
                "[############] 100 %  Writing settings  0:00"},
        TextRow{"LongOperationCountsMinutes", 35, "Verifying", 3725, 40, "[####.........]  35 %  Verifying  62:05"},
        TextRow{"TooNarrowCutsTheText", 35, "Verifying", 5, 20, "[###.......]  35 % "}),
    test_support::RowName());

// What the line wrote, one piece per output call, with a clock the test moves.
class ProgressLineTest : public testing::Test {
protected:
    ProgressLine line(int columns = 80)
    {
        return ProgressLine([this](std::string_view text) { m_written.emplace_back(text); }, columns,
                            [this] { return m_now; });
    }

    std::vector<std::string> m_written;
    ProgressLine::Clock::time_point m_now;
};

TEST_F(ProgressLineTest, PercentFollowsTheRange)
{
    ProgressLine progress = line();
    progress.setRange(10, 20);
    progress.setPosition(15);
    ASSERT_EQ(m_written.size(), 2u);
    EXPECT_EQ(m_written.back(), "\r[###############...............]  50 %  0:00");
}

TEST_F(ProgressLineTest, EmptyRangeShowsNothingDone)
{
    ProgressLine progress = line();
    progress.setRange(5, 5);
    EXPECT_EQ(m_written.back(), "\r[..............................]   0 %  0:00");
}

TEST_F(ProgressLineTest, ShorterLineBlanksWhatTheLongerOneLeft)
{
    ProgressLine progress = line();
    progress.setStep("Service commands");
    progress.setStep("Verifying");
    ASSERT_EQ(m_written.size(), 2u);
    EXPECT_EQ(m_written.back(), "\r[..............................]   0 %  Verifying  0:00       ");
}

TEST_F(ProgressLineTest, SameTextIsNotDrawnAgain)
{
    ProgressLine progress = line();
    progress.setPosition(40);
    progress.setPosition(40);
    progress.setRange(0, 100);
    EXPECT_EQ(m_written.size(), 1u);
}

TEST_F(ProgressLineTest, TickRedrawsOnlyWhenTheShownSecondChanges)
{
    ProgressLine progress = line();
    progress.tick(); // nothing drawn yet: a tick does not start the line
    EXPECT_TRUE(m_written.empty());
    progress.setPosition(20);
    m_now += std::chrono::milliseconds(999);
    progress.tick();
    EXPECT_EQ(m_written.size(), 1u);
    m_now += std::chrono::milliseconds(1);
    progress.tick();
    ASSERT_EQ(m_written.size(), 2u);
    EXPECT_EQ(m_written.back(), "\r[######........................]  20 %  0:01");
}

TEST_F(ProgressLineTest, EraseBlanksTheLongestLineOnce)
{
    ProgressLine progress = line();
    progress.setStep("Writing settings");
    progress.setStep("");
    progress.erase();
    progress.erase();
    ASSERT_EQ(m_written.size(), 3u);
    EXPECT_EQ(m_written.back(), "\r" + std::string(62, ' ') + "\r");
    // After an erase the next change draws the line anew, and a tick keeps
    // quiet until then.
    m_now += std::chrono::seconds(3);
    progress.tick();
    EXPECT_EQ(m_written.size(), 3u);
    progress.setPosition(100);
    EXPECT_EQ(m_written.back(), "\r[##############################] 100 %  0:03");
}

TEST_F(ProgressLineTest, NarrowTerminalNeverGetsALineThatWraps)
{
    ProgressLine progress = line(12);
    progress.setStep("Service commands");
    EXPECT_EQ(m_written.back(), "\r[..........");
}

} // namespace
} // namespace telvor
