// The progress of a device operation on a terminal: one line, redrawn in
// place, with a bar at the position the window's progress bar would show,
// the percentage, the step the operation has reached and the time so far.
#pragma once

#include "terminal_line.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace telvor {

class ProgressLine final {
public:
    using Clock = std::chrono::steady_clock;
    using Output = TerminalLine::Output;

    // Draws nothing at all.
    ProgressLine();
    // `columns` is the terminal's width; the line stays shorter, so that it
    // never wraps.
    ProgressLine(Output output, int columns, std::function<Clock::time_point()> now = Clock::now);

    void setRange(int minimum, int maximum);
    void setPosition(int position);
    void setStep(std::string_view step);
    // Redraws when the time shown would change; called while the operation
    // waits for the device.
    void tick();
    // Blanks the line and puts the cursor at its start; drawn again at the
    // next change.
    void erase();

private:
    void draw();
    int percent() const;
    long shownSeconds() const;

    TerminalLine m_line;
    std::function<Clock::time_point()> m_now;
    Clock::time_point m_start;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    std::string m_step;
    long m_drawnSeconds = -1;
};

// The line itself: "[#######.............]  35 %  Reading settings  0:04",
// the bar narrowed (down to ten marks) and then the text cut so that it
// takes at most `columns` - 1 characters.
std::string progressText(int percent, std::string_view step, long seconds, int columns);

} // namespace telvor
