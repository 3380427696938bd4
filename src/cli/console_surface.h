// The status surface of telvorctl: message boxes become lines on standard
// error, the texts are kept for the summary printed when the operation ends.
#pragma once

#include "operations/status_surface.h"

#include <string>

namespace telvor {

class ConsoleSurface final : public StatusSurface {
public:
    explicit ConsoleSurface(ControlValues controls);

    ControlValues takeControlValues() override;
    void setStatusText(std::string_view text) override;
    void appendStatusText(std::string_view text) override;
    void setVersionText(std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void showMessage(std::string_view text, std::string_view detail) override;
    void pushValuesToControls() override;

    const std::string& statusText() const { return m_status; }
    const std::string& versionText() const { return m_version; }

private:
    ControlValues m_controls;
    std::string m_status;
    std::string m_version;
};

// The status text for a terminal: each CR LF pair as one newline.
std::string statusLines(std::string_view status);

} // namespace telvor
