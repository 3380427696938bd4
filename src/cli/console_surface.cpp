#include "console_surface.h"

#include "console.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace telvor {

ConsoleSurface::ConsoleSurface(ControlValues controls, ProgressLine progress)
    : m_controls(controls)
    , m_progress(std::move(progress))
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

void ConsoleSurface::setProgressRange(int minimum, int maximum)
{
    m_progress.setRange(minimum, maximum);
}

void ConsoleSurface::setProgressPosition(int position)
{
    m_progress.setPosition(position);
}

void ConsoleSurface::setStep(OperationStep step)
{
    m_progress.setStep(stepText(step));
}

void ConsoleSurface::showMessage(std::string_view text, std::string_view detail)
{
    m_progress.erase();
    printError(terminalText(text));
    if (!detail.empty())
        printNote(detail);
}

// The summary is printed by the command once the link is closed; the
// progress line makes way for it.
void ConsoleSurface::pushValuesToControls()
{
    m_progress.erase();
}

void ConsoleSurface::keepAlive()
{
    m_progress.tick();
}

void ConsoleSurface::showWarning(std::string_view text)
{
    m_progress.erase();
    printError(terminalText(text));
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

ProgressLine terminalProgressLine(bool wanted)
{
    if (!wanted || ::isatty(STDERR_FILENO) != 1)
        return {};
    winsize size{};
    const int columns = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    return ProgressLine(
        [](std::string_view text) {
            std::fwrite(text.data(), 1, text.size(), stderr);
            std::fflush(stderr);
        },
        columns);
}

} // namespace telvor
