#include "device_operations.h"

#include "line_format.h"

#include "image/settings_parser.h"
#include "link/device_link.h"
#include "link/sliced_wait.h"

#include <string>

namespace telvor {

namespace {

// A serial port by its number is named as the window counts it; a device
// path is named in the detail beside the text.
std::string openFailureText(const Endpoint& endpoint)
{
    if (isTcp(endpoint))
        return "LAN connection (TCP/IP) cannot be established!";
    if (const auto* port = std::get_if<SerialPortNumber>(&endpoint))
        return formatText("COM%d port open error !", {long{port->number}});
    return "Serial port open error !";
}

} // namespace

DeviceOperations::DeviceOperations(SettingsImage& working, SettingsImage& verification, FirmwareVersion& version,
                                   DeviceLink& link, StatusSurface& surface, LocalClock clock)
    : m_working(working)
    , m_verification(verification)
    , m_version(version)
    , m_link(link)
    , m_surface(surface)
    , m_clock(std::move(clock))
{
}

bool DeviceOperations::checkDeviceVersion()
{
    if (!openLink())
        return false;
    const bool done = greet({kShortOpening, "No answer from device", 50});
    if (done) {
        progress(100);
        m_surface.setStatusText("Firmware version read successful");
    }
    finish();
    return done;
}

bool DeviceOperations::openLink()
{
    m_controls = m_surface.takeControlValues();
    clearTexts();
    if (m_link.open() == OpenResult::Opened)
        return true;
    const std::string text = openFailureText(m_link.endpoint);
    m_surface.showMessage(text, m_link.openFailureDetail());
    m_surface.setStatusText(text);
    // Nothing to close: the link never opened.
    m_surface.pushValuesToControls();
    return false;
}

void DeviceOperations::clearTexts()
{
    m_surface.setVersionText("");
    m_surface.setStatusText("");
    m_surface.setProgressRange(0, 100);
    m_surface.setProgressPosition(0);
}

bool DeviceOperations::greet(const Opening& opening)
{
    m_surface.setStep(OperationStep::CheckingVersion);
    // The first lines only wake a device that may be busy printing debug
    // output; whether they were acknowledged tells nothing.
    for (std::size_t line = 0; line + 1 < opening.lines.size(); ++line)
        m_link.sendCommand(opening.lines[line]);
    if (!command(opening.lines.back(), opening.haltBox, "Connection error (HALT)"))
        return false;
    progress(opening.progressAfterLines);
    if (!command("VER?", "No answer from device (VER)", "Version read error"))
        return false;
    m_surface.setVersionText(m_link.reply());
    return true;
}

void DeviceOperations::finish()
{
    m_link.close();
    m_surface.pushValuesToControls();
}

bool DeviceOperations::command(std::string_view line, std::string_view box, std::string_view status)
{
    if (m_link.sendCommand(line) == CommandResult::Acknowledged)
        return true;
    failWith(box, status);
    return false;
}

bool DeviceOperations::query(std::string_view line, std::string_view box, std::string_view status)
{
    if (m_link.sendQuery(line) == QueryResult::Answered)
        return true;
    failWith(box, status);
    return false;
}

void DeviceOperations::failWith(std::string_view box, std::string_view status)
{
    m_surface.showMessage(box, {});
    m_surface.setStatusText(status);
}

void DeviceOperations::progress(int position)
{
    m_surface.setProgressPosition(position);
}

void DeviceOperations::pause(bool longDelay)
{
    // In slices, so that the window can repaint while the device settles.
    SlicedWait(m_link).pause(longDelay ? m_link.timing.rewriteDelayLong : m_link.timing.rewriteDelayShort);
}

void DeviceOperations::parseAnswerInto(SettingsImage& image)
{
    // The parser has always been handed the answer as a zero-terminated
    // text: a zero byte from the device ends it.
    const std::string_view answer = m_link.answer();
    parseSettings(answer.substr(0, answer.find('\0')), image, m_version.versionNumber);
}

} // namespace telvor
