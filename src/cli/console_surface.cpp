#include "console_surface.h"

#include "console.h"

#include "link/device_link.h"

namespace telvor {

namespace {

ControlValues controlValues(const Invocation& invocation)
{
    ControlValues controls;
    controls.service.resetCounters = invocation.service.resetCounters;
    controls.service.eraseLog = invocation.service.eraseLog;
    controls.service.setClock = invocation.service.setClock;
    controls.service.resetDevice = invocation.service.resetDevice;
    return controls;
}

// One that draws nothing unless standard error is a terminal.
ProgressLine progressLine(const Invocation& invocation)
{
    const std::optional<int> columns = standardErrorColumns();
    if (invocation.quiet || invocation.trace || !columns)
        return {};
    return ProgressLine(writeToStandardError, *columns);
}

} // namespace

ConsoleSurface::ConsoleSurface(const Invocation& invocation)
    : m_controls(controlValues(invocation))
    , m_progress(progressLine(invocation))
{
}

void ConsoleSurface::watch(DeviceLink& link)
{
    link.onWarning = [this](const std::string& warning) {
        m_progress.erase();
        printError(terminalText(warning));
    };
    link.keepAlive = [this] { m_progress.tick(); };
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
