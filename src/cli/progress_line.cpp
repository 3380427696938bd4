#include "progress_line.h"

#include <algorithm>

namespace telvor {

namespace {

constexpr int kWidestBar = 30;
constexpr int kNarrowestBar = 10;

std::string elapsedText(long seconds)
{
    const long rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

} // namespace

std::string progressText(int percent, std::string_view step, long seconds, int columns)
{
    percent = std::clamp(percent, 0, 100);
    std::string number = std::to_string(percent);
    number.insert(0, 3 - number.size(), ' ');
    std::string after = "] " + number + " %  " + std::string(step) + (step.empty() ? "" : "  ") + elapsedText(seconds);
    // The last column stays free: a terminal that wraps at the right edge
    // would move the cursor to a new line.
    const int room = std::max(columns - 1, 1);
    const int bar = std::clamp(room - 1 - static_cast<int>(after.size()), kNarrowestBar, kWidestBar);
    const int filled = bar * percent / 100;
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(bar - filled), '.') + after;
    if (line.size() > static_cast<std::size_t>(room))
        line.resize(static_cast<std::size_t>(room));
    return line;
}

ProgressLine::ProgressLine()
    : ProgressLine(Output(), 80)
{
}

ProgressLine::ProgressLine(Output output, int columns, std::function<Clock::time_point()> now)
    : m_line(std::move(output), columns)
    , m_now(std::move(now))
    , m_start(m_now())
{
}

void ProgressLine::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    draw();
}

void ProgressLine::setPosition(int position)
{
    m_position = position;
    draw();
}

void ProgressLine::setStep(std::string_view step)
{
    m_step = step;
    draw();
}

void ProgressLine::tick()
{
    if (m_line.shown() && shownSeconds() != m_drawnSeconds)
        draw();
}

void ProgressLine::erase()
{
    m_line.erase();
}

void ProgressLine::draw()
{
    m_drawnSeconds = shownSeconds();
    m_line.show(progressText(percent(), m_step, m_drawnSeconds, m_line.columns()));
}

int ProgressLine::percent() const
{
    if (m_maximum <= m_minimum)
        return 0;
    return static_cast<int>(100L * (m_position - m_minimum) / (m_maximum - m_minimum));
}

long ProgressLine::shownSeconds() const
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(m_now() - m_start).count());
}

} // namespace telvor
