#include "terminal_line.h"

#include <algorithm>
#include <cstdio>

#include <sys/ioctl.h>
#include <unistd.h>

namespace telvor {

TerminalLine::TerminalLine(Output output, int columns)
    : m_output(std::move(output))
    , m_columns(columns)
{
}

void TerminalLine::show(std::string text)
{
    if (!m_output)
        return;
    // The last column stays free: a terminal that wraps at the right edge
    // would move the cursor to a new line.
    const auto room = static_cast<std::size_t>(std::max(m_columns - 1, 1));
    if (text.size() > room)
        text.resize(room);
    if (m_drawnLength > 0 && text == m_drawnText)
        return;
    m_drawnText = text;
    const std::size_t length = text.size();
    // Blanks over what a longer line before left behind.
    if (length < m_drawnLength)
        text += std::string(m_drawnLength - length, ' ');
    m_output("\r" + text);
    m_drawnLength = std::max(length, m_drawnLength);
}

void TerminalLine::erase()
{
    if (!m_output || m_drawnLength == 0)
        return;
    m_output("\r" + std::string(m_drawnLength, ' ') + "\r");
    m_drawnLength = 0;
}

std::optional<int> standardErrorColumns()
{
    if (::isatty(STDERR_FILENO) != 1)
        return std::nullopt;
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

void writeToStandardError(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace telvor
