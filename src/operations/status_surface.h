// What a device operation needs of the window it runs in: the control values
// at its start, the status and version texts, the progress bar and modal
// message boxes. The window, telvorctl and the tests each provide one.
#pragma once

#include <string_view>

namespace telvor {

// The four service commands that a passed verification may run.
struct ServiceOptions {
    bool resetCounters = false; // "Reset counters"
    bool eraseLog = false;      // "Erase log memory"
    bool setClock = false;      // "Set RTC clock in device"
    bool resetDevice = false;   // "RESET device after update"
};

// What the controls hold at the start of an operation. The connection is
// not among them: the caller points the link at its endpoint before the
// operation opens it (the window does so when it takes these values).
struct ControlValues {
    ServiceOptions service;
};

// The stages of an operation, named for a progress display that shows
// what the device is being asked at the moment.
enum class OperationStep {
    CheckingVersion,
    ReadingSettings,
    ReadingBackup,
    WritingSettings,
    Verifying,
    ServiceCommands
};

// "Checking version", "Reading settings", ...: plain ASCII, for a terminal.
std::string_view stepText(OperationStep step);

class StatusSurface {
public:
    virtual ~StatusSurface() = default;

    // Takes the values the user set in the controls; called once, first.
    virtual ControlValues takeControlValues() = 0;
    virtual void setStatusText(std::string_view text) = 0;
    virtual void appendStatusText(std::string_view text) = 0;
    virtual void setVersionText(std::string_view text) = 0;
    virtual void setProgressRange(int minimum, int maximum) = 0;
    // Shown at once: the progress bar is the only thing that moves while an
    // operation runs.
    virtual void setProgressPosition(int position) = 0;
    // The stage the operation has reached. The window shows only its
    // progress bar and ignores this.
    virtual void setStep(OperationStep) {}
    // Modal: returns when the user has closed the box. `detail` is the
    // informative text below the main text, empty when there is none.
    virtual void showMessage(std::string_view text, std::string_view detail) = 0;
    // Called once, last: the status and version texts become visible.
    virtual void pushValuesToControls() = 0;
};

} // namespace telvor
