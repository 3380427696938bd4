#include "fleet_display.h"

#include "console.h"

#include <cstdio>

namespace telvor {

namespace {

std::string minutesText(long seconds)
{
    const long rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

// The last line of a status text, whose lines end with CR LF.
std::string lastStatusLine(std::string_view status)
{
    while (status.ends_with("\r\n"))
        status.remove_suffix(2);
    const std::size_t lineEnd = status.rfind("\r\n");
    return terminalText(lineEnd == std::string_view::npos ? status : status.substr(lineEnd + 2));
}

std::string messagesText(const std::vector<DeviceMessage>& messages)
{
    std::string text;
    for (const DeviceMessage& message : messages)
        text += (text.empty() ? "" : "; ") + terminalText(message.text)
            + (message.detail.empty() ? "" : " - " + message.detail);
    return text;
}

// Why a device did not end written.
std::string whyNotWritten(const DeviceReport& report)
{
    const Receipt& receipt = report.receipt;
    if (receipt.outcome == DeviceOutcome::Interrupted && receipt.attempts == 0)
        return "never started";
    if (receipt.outcome != DeviceOutcome::Interrupted && !report.messages.empty())
        return messagesText(report.messages);
    return lastStatusLine(receipt.status);
}

} // namespace

std::string fleetStatusText(const FleetTally& tally, std::chrono::seconds elapsed)
{
    std::string text = "written " + std::to_string(tally.written);
    if (tally.skipped > 0)
        text += ", skipped " + std::to_string(tally.skipped);
    text += ", failed " + std::to_string(tally.failed + tally.unreachable + tally.interrupted) + ", running "
        + std::to_string(tally.running) + ", waiting " + std::to_string(tally.waiting);
    const int ended = tally.written + tally.failed + tally.unreachable + tally.interrupted;
    if (ended == 0 || elapsed.count() <= 0)
        return text;
    const double perMinute = 60.0 * ended / static_cast<double>(elapsed.count());
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", perMinute);
    const long left = static_cast<long>(60.0 * (tally.running + tally.waiting) / perMinute + 0.5);
    return text + ", " + rate + " devices/min, " + minutesText(left) + " left";
}

std::string fleetDeviceLine(const DeviceReport& report)
{
    const Receipt& receipt = report.receipt;
    std::string line = receipt.target + (receipt.name.empty() ? "" : " " + receipt.name) + ": "
        + std::string(deviceOutcomeText(receipt.outcome));
    if (receipt.outcome == DeviceOutcome::Written)
        return line;
    if (receipt.outcome == DeviceOutcome::Skipped)
        return line + ": " + lastStatusLine(receipt.status);
    return line + ": " + whyNotWritten(report);
}

std::string fleetSummary(const FleetTally& tally, std::chrono::seconds elapsed)
{
    return "fleet: " + std::to_string(tally.written) + " written, " + std::to_string(tally.skipped) + " skipped, "
        + std::to_string(tally.failed) + " failed, " + std::to_string(tally.unreachable) + " unreachable, "
        + std::to_string(tally.interrupted) + " interrupted (" + std::to_string(tally.devices)
        + (tally.devices == 1 ? " device, " : " devices, ") + minutesText(elapsed.count()) + ")";
}

FleetDisplay::FleetDisplay(std::optional<int> terminalColumns, TerminalLine::Output output,
                           std::function<Clock::time_point()> now)
    : m_terminal(terminalColumns.has_value())
    , m_output(output)
    , m_line(terminalColumns ? TerminalLine(output, *terminalColumns) : TerminalLine())
    , m_now(std::move(now))
    , m_start(m_now())
{
}

void FleetDisplay::deviceStarted(const PlannedDevice&, const FleetTally& tally)
{
    const std::lock_guard lock(m_mutex);
    redraw(tally);
}

void FleetDisplay::deviceEnded(const DeviceReport& report)
{
    const std::lock_guard lock(m_mutex);
    const DeviceOutcome outcome = report.receipt.outcome;
    if (!m_terminal || (outcome != DeviceOutcome::Written && outcome != DeviceOutcome::Skipped))
        printAbove(fleetDeviceLine(report));
    if (!report.notRecorded.empty())
        printAbove("telvorctl: note: " + report.receipt.target + ": history not recorded: " + report.notRecorded);
    redraw(report.tally);
}

void FleetDisplay::tick(const FleetTally& tally)
{
    const std::lock_guard lock(m_mutex);
    redraw(tally);
}

void FleetDisplay::message(std::string_view text)
{
    const std::lock_guard lock(m_mutex);
    printAbove("telvorctl: " + std::string(text));
}

void FleetDisplay::finish(const FleetTally& tally)
{
    const std::lock_guard lock(m_mutex);
    m_line.erase();
    m_output(fleetSummary(tally, elapsed()) + "\n");
}

void FleetDisplay::printAbove(const std::string& line)
{
    m_line.erase();
    m_output(line + "\n");
}

void FleetDisplay::redraw(const FleetTally& tally)
{
    if (m_terminal)
        m_line.show(fleetStatusText(tally, elapsed()));
}

std::chrono::seconds FleetDisplay::elapsed() const
{
    return std::chrono::duration_cast<std::chrono::seconds>(m_now() - m_start);
}

} // namespace telvor
