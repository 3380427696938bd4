// The status surface of telvorctl: message boxes become lines on standard
// error, the texts are kept for the summary printed when the operation ends,
// and the progress goes to a progress line.
#pragma once

#include "progress_line.h"

#include "operations/status_surface.h"

#include <string>

namespace telvor {

class ConsoleSurface final : public StatusSurface {
public:
    // `progress` draws nothing unless it was given an output (a terminal).
    explicit ConsoleSurface(ControlValues controls, ProgressLine progress = {});

    ControlValues takeControlValues() override;
    void setStatusText(std::string_view text) override;
    void appendStatusText(std::string_view text) override;
    void setVersionText(std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void setStep(OperationStep step) override;
    void showMessage(std::string_view text, std::string_view detail) override;
    void pushValuesToControls() override;

    // While the link waits: the time shown moves on.
    void keepAlive();
    // A warning of the link (Windows-1250) on standard error.
    void showWarning(std::string_view text);

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

// The progress line on standard error, or one that draws nothing when
// standard error is no terminal or `wanted` is false (--quiet, --trace).
ProgressLine terminalProgressLine(bool wanted);

} // namespace telvor
