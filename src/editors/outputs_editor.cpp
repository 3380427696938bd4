#include "outputs_editor.h"

namespace telvor {
namespace {

constexpr std::uint8_t kPermanentBit = 0x01;
constexpr std::uint8_t kSignallingBit = 0x02;
constexpr std::uint8_t kHeatingBit = 0x04;
constexpr std::uint8_t kCoolingBit = 0x08;
constexpr std::uint8_t kExtraFunctionBit = 0x04;
constexpr std::uint8_t kBuzzerBit = 0x40;

// The output number (1 to 6) of thermostat output t and of high-state output t.
constexpr int thermostatOutput(int thermostat) { return 1 + 2 * thermostat; }
constexpr int highSignallingOutput(int output) { return 2 + 2 * output; }

constexpr ThermostatMode kModes[] = {ThermostatMode::LowSignalling, ThermostatMode::Heating,
                                     ThermostatMode::Cooling};

} // namespace

bool& ThermostatOutput::mode(ThermostatMode which)
{
    switch (which) {
    case ThermostatMode::Heating:
        return heating;
    case ThermostatMode::Cooling:
        return cooling;
    case ThermostatMode::LowSignalling:
        break;
    }
    return lowSignalling;
}

void OutputsEditor::unpack(const SettingsImage& image)
{
    for (int output = 1; output <= kOutputs; ++output)
        permanent[output - 1] = image.u8(slot("OCFG", output)) & kPermanentBit;
    for (int thermostat = 0; thermostat < 3; ++thermostat) {
        const std::uint8_t byte = image.u8(slot("OCFG", thermostatOutput(thermostat)));
        thermostats[thermostat] = {.lowSignalling = (byte & kSignallingBit) != 0,
                                   .heating = (byte & kHeatingBit) != 0,
                                   .cooling = (byte & kCoolingBit) != 0};
        highSignalling[thermostat] =
            image.u8(slot("OCFG", highSignallingOutput(thermostat))) & kSignallingBit;
    }
    wakingHoursOnO4 = image.u8(slot("OCFG", 4)) & kExtraFunctionBit;
    alarmStateOnO6 = image.u8(slot("OCFG", 6)) & kExtraFunctionBit;
    signallingTime = image.u8(slot("ATIM"));
    buzzer = image.u8(slot("MCFG2")) & kBuzzerBit;
    closedWithOk = false;
}

void OutputsEditor::pack(SettingsImage& image) const
{
    if (!closedWithOk)
        return;
    std::array<std::uint8_t, kOutputs> bytes{};
    for (int output = 0; output < kOutputs; ++output)
        bytes[output] = permanent[output] ? kPermanentBit : 0;
    for (int thermostat = 0; thermostat < 3; ++thermostat) {
        // A byte carries at most one mode: heating before cooling before
        // signalling, whatever the boxes show.
        const ThermostatOutput& modes = thermostats[thermostat];
        std::uint8_t& byte = bytes[thermostatOutput(thermostat) - 1];
        if (modes.heating)
            byte |= kHeatingBit;
        else if (modes.cooling)
            byte |= kCoolingBit;
        else if (modes.lowSignalling)
            byte |= kSignallingBit;
        if (highSignalling[thermostat])
            bytes[highSignallingOutput(thermostat) - 1] |= kSignallingBit;
    }
    if (wakingHoursOnO4)
        bytes[4 - 1] |= kExtraFunctionBit;
    if (alarmStateOnO6)
        bytes[6 - 1] |= kExtraFunctionBit;
    for (int output = 1; output <= kOutputs; ++output)
        image.setU8(slot("OCFG", output), bytes[output - 1]);
    image.setU8(slot("ATIM"), static_cast<std::uint8_t>(signallingTime));
    const std::uint8_t others = image.u8(slot("MCFG2")) & ~kBuzzerBit;
    image.setU8(slot("MCFG2"), others | (buzzer ? kBuzzerBit : 0));
}

void OutputsEditor::modeClicked(int thermostat, ThermostatMode clicked)
{
    ThermostatOutput& modes = thermostats.at(thermostat);
    if (!modes.mode(clicked))
        return;
    for (const ThermostatMode other : kModes)
        if (other != clicked)
            modes.mode(other) = false;
}

} // namespace telvor
