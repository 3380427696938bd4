#include "device_operations.h"
#include "group_condition.h"
#include "write_rows.h"

#include "link/device_link.h"

#include <array>

namespace telvor {

namespace {

// One step of "Read from device". A query's answer goes into the image read
// onto; a "HALT!" step never fails the read.
struct ReadStep {
    enum class Kind { Query, Halt, Progress };

    Kind kind;
    GroupCondition condition;
    std::string_view line;
    int progressAfter;
    std::string_view box;
    std::string_view status;
};

using enum GroupCondition;
using Kind = ReadStep::Kind;

constexpr std::array kReadSteps = {
    ReadStep{Kind::Query, Always, "SET?", 50, "No answer from device", "Settings read error"},
    ReadStep{Kind::Query, Always, "SMS?", kProgressUnchanged, "No answer from device", "SMS body read error"},
    ReadStep{Kind::Halt, ApnGroup, "HALT!", 60, {}, {}},
    ReadStep{Kind::Query, ApnGroup, "APN?", 70, "No answer from device", "APN settings read error"},
    ReadStep{Kind::Query, EadGroup, "EAD?", kProgressUnchanged, "No answer from device", "EAD settings read error"},
    ReadStep{Kind::Halt, From25, "HALT!", 80, {}, {}},
    ReadStep{Kind::Query, From25, "XCFG?", kProgressUnchanged, "No answer from device", "XCFG settings read error"},
    ReadStep{Kind::Progress, From26, {}, 90, {}, {}},
    ReadStep{Kind::Query, From26, "ECFG?", kProgressUnchanged, "No answer for ECFG command",
             "ECFG settings read error"},
    ReadStep{Kind::Progress, Always, {}, 100, {}, {}},
};

} // namespace

bool DeviceOperations::readFromDevice()
{
    if (!openLink())
        return false;
    const bool done = readInto(m_working, OperationStep::ReadingSettings);
    finish();
    return done;
}

// The read's conversation on the open link, answers parsed into `image`.
bool DeviceOperations::readInto(SettingsImage& image, OperationStep readingStep)
{
    bool done = greet({kFullOpening, "No answer from device", 10});
    if (done) {
        m_version = decodeVersion(m_link.reply());
        m_surface.setStep(readingStep);
        progress(30);
    }
    for (const ReadStep& step : kReadSteps) {
        if (!done)
            break;
        if (!holds(step.condition, m_version, image))
            continue;
        switch (step.kind) {
        case Kind::Query:
            done = query(step.line, step.box, step.status);
            if (done)
                parseAnswerInto(image);
            break;
        case Kind::Halt:
            m_link.sendCommand(step.line);
            break;
        case Kind::Progress:
            break;
        }
        if (done && step.progressAfter != kProgressUnchanged)
            progress(step.progressAfter);
    }
    if (done)
        m_surface.setStatusText("Settings read successfully");
    return done;
}

} // namespace telvor
