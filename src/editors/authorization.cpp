#include "authorization.h"

#include "editors/flag_bits.h"

#include <algorithm>
#include <span>

namespace telvor {
namespace {

// Bits 0 to 4 stand for five telephone numbers; bit 7 opens the service to
// any caller.
constexpr int kAnyoneBit = 7;

// Where each service keeps Num 1 to 5 and Num 6 to 10.
struct ServiceBytes {
    Slot firstFive;
    Slot lastFive;
};

constexpr ServiceBytes kPeriodicalReport{slot("RCFG"), slot("RCFG", Field::kNotIndexed, 3)};
constexpr ServiceBytes kOnDemandReport{slot("CLIP"), slot("CLIP", Field::kNotIndexed, 2)};
constexpr ServiceBytes kRemoteControl{slot("CTRL"), slot("CTRL", Field::kNotIndexed, 2)};
constexpr Slot kCsdConnection = slot("CSDC");

NumberBoxes splitNumbers(const SettingsImage& image, const ServiceBytes& service)
{
    NumberBoxes boxes{};
    const auto firstFive = splitFlags<5>(image.u8(service.firstFive));
    const auto lastFive = splitFlags<5>(image.u8(service.lastFive));
    std::copy(lastFive.begin(), lastFive.end(), std::copy(firstFive.begin(), firstFive.end(), boxes.begin()));
    return boxes;
}

void joinNumbers(SettingsImage& image, const ServiceBytes& service, const NumberBoxes& boxes, int anyone)
{
    const std::span<const int> all(boxes);
    image.setU8(service.firstFive, withFlagBit(joinFlags(all.first(5)), kAnyoneBit, anyone));
    image.setU8(service.lastFive, joinFlags(all.last(5)));
}

} // namespace

void Authorization::unpack(const SettingsImage& image)
{
    onDemandReportAnyone = flagBit(image.u8(kOnDemandReport.firstFive), kAnyoneBit);
    onDemandReport = splitNumbers(image, kOnDemandReport);
    csdConnectionAnyone = flagBit(image.u8(kCsdConnection), kAnyoneBit);
    csdConnection = splitFlags<5>(image.u8(kCsdConnection));
    remoteControlAnyone = flagBit(image.u8(kRemoteControl.firstFive), kAnyoneBit);
    remoteControl = splitNumbers(image, kRemoteControl);
    periodicalReport = splitNumbers(image, kPeriodicalReport);
}

void Authorization::pack(SettingsImage& image) const
{
    joinNumbers(image, kOnDemandReport, onDemandReport, onDemandReportAnyone);
    image.setU8(kCsdConnection, withFlagBit(joinFlags(csdConnection), kAnyoneBit, csdConnectionAnyone));
    joinNumbers(image, kRemoteControl, remoteControl, remoteControlAnyone);
    // The periodical report has no "anyone" box.
    joinNumbers(image, kPeriodicalReport, periodicalReport, 0);
}

} // namespace telvor
