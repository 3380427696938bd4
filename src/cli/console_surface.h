// The status surface of telvorctl: message boxes become lines on standard
// error, the texts are kept for the summary printed when the operation ends,
// and the progress goes to a progress line.
#pragma once

#include "invocation.h"
#include "progress_line.h"

#include "operations/status_surface.h"

#include <string>

namespace telvor {

class DeviceLink;

class ConsoleSurface final : public StatusSurface {
public:
    // The service commands the command line chose, and a progress line on
    // standard error when it is a terminal, unless --quiet or --trace (whose
    // lines would cut through it) was given.
    explicit ConsoleSurface(const Invocation& invocation);

    // The link's warnings go to standard error past the progress line, and
    // its waits move the line's time on.
    // The surface must outlive the link.
    void watch(DeviceLink& link);

    ControlValues takeControlValues() override;
    void setStatusText(std::string_view text) override;
    void appendStatusText(std::string_view text) override;
    void setVersionText(std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setStep(OperationStep step) override;
    void showMessage(std::string_view text, std::string_view detail) override;
    void pushValuesToControls() override;

    const std::string& statusText() const { return m_status; }
    const std::string& versionText() const { return m_version; }

private:
    ControlValues m_controls;
    ProgressLine m_progress;
    std::string m_status;
    std::string m_version;
};

// The status text for a terminal: each CR LF pair as one newline.
std::string statusLines(std::string_view status);

} // namespace telvor
