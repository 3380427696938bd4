// A status surface that keeps everything an operation shows, for tests.
#pragma once

#include "operations/status_surface.h"

#include <string>
#include <vector>

namespace telvor {

class RecordingSurface final : public StatusSurface {
public:
    ControlValues controls;

    std::string status;
    std::string version;
    std::vector<int> progress;      // every position, in order
    std::vector<std::string> boxes; // "text", or "text | detail"
    std::vector<std::string> steps; // the text of every step, in order
    int controlReads = 0;
    int pushes = 0;
    // The texts as they were when the values were pushed to the controls.
    std::string shownStatus;
    std::string shownVersion;

    ControlValues takeControlValues() override
    {
        ++controlReads;
        return controls;
    }
    void setStatusText(std::string_view text) override { status = text; }
    void appendStatusText(std::string_view text) override { status += text; }
    void setVersionText(std::string_view text) override { version = text; }
    void setProgressRange(int minimum, int maximum) override
    {
        rangeMinimum = minimum;
        rangeMaximum = maximum;
    }
    void setProgressPosition(int position) override { progress.push_back(position); }
    void setStep(OperationStep step) override { steps.emplace_back(stepText(step)); }
    void showMessage(std::string_view text, std::string_view detail) override
    {
        boxes.push_back(detail.empty() ? std::string(text) : std::string(text) + " | " + std::string(detail));
    }
    void pushValuesToControls() override
    {
        ++pushes;
        shownStatus = status;
        shownVersion = version;
    }

    int rangeMinimum = -1;
    int rangeMaximum = -1;
};

} // namespace telvor
