#include "console_surface.h"

#include "console.h"

namespace telvor {

ConsoleSurface::ConsoleSurface(ControlValues controls)
    : m_controls(controls)
{
}

ControlValues ConsoleSurface::takeControlValues()
{
    return m_controls;
}

void ConsoleSurface::setStatusText(std::string_view text)
{
    m_status = text;
}

void ConsoleSurface::appendStatusText(std::string_view text)
{
    m_status += text;
}

void ConsoleSurface::setVersionText(std::string_view text)
{
    m_version = text;
}

// A terminal has no progress bar; the trace shows how far a conversation got.
void ConsoleSurface::setProgressRange(int, int)
{
}

void ConsoleSurface::setProgressPosition(int)
{
}

void ConsoleSurface::showMessage(std::string_view text, std::string_view detail)
{
    printError(terminalText(text));
    if (!detail.empty())
        printNote(detail);
}

// The summary is printed by the command once the link is closed.
void ConsoleSurface::pushValuesToControls()
{
}

std::string statusLines(std::string_view status)
{
    std::string lines;
    for (std::size_t position = 0; position < status.size(); ++position) {
        if (status.substr(position).starts_with("\r\n")) {
            lines += '\n';
            ++position;
        } else {
            lines += status[position];
        }
    }
    return lines;
}

} // namespace telvor
