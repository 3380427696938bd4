// One line of a terminal redrawn in place, with carriage returns and blanks
// only, so that any terminal shows it, and never as wide as the terminal,
// so that it never wraps; erased before anything else is printed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace telvor {

class TerminalLine final {
public:
    using Output = std::function<void(std::string_view)>;

    // Draws nothing at all.
    TerminalLine() = default;
    // `columns` is the terminal's width.
    TerminalLine(Output output, int columns);

    int columns() const { return m_columns; }
    // Shows `text`, cut to the terminal's width less one column; the same
    // text is not drawn again.
    void show(std::string text);
    // Blanks the line and puts the cursor at its start.
    void erase();
    bool shown() const { return m_drawnLength > 0; }

private:
    Output m_output;
    int m_columns = 80;
    std::string m_drawnText;
    std::size_t m_drawnLength = 0; // 0: nothing on the terminal
};

// The width of standard error when it is a terminal (80 when it does not
// tell); nothing when it is none.
std::optional<int> standardErrorColumns();

// Writes to standard error at once.
void writeToStandardError(std::string_view text);

} // namespace telvor
