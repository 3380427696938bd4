#include "outputs.h"

#include "editors/flag_bits.h"

namespace telvor {
namespace {

constexpr int kPermanentBit = 0;
constexpr int kSignallingBit = 1;
constexpr int kHeatingBit = 2;
constexpr int kCoolingBit = 3;
// Waking-hours signalling on O4, alarm-state signalling on O6.
constexpr int kExtraFunctionBit = 2;
constexpr int kBuzzerBit = 6;

// Inputs L1, L2 and L5 (0, 1, 2 here) each drive two outputs: the
// thermostat output O1, O3 or O5 and the high-state output O2, O4 or O6.
constexpr int thermostatOutput(int input)
{
    return 1 + 2 * input;
}
constexpr int highSignallingOutput(int input)
{
    return 2 + 2 * input;
}

constexpr ThermostatMode kModes[] = {ThermostatMode::LowSignalling, ThermostatMode::Heating, ThermostatMode::Cooling};

} // namespace

int& ThermostatOutput::mode(ThermostatMode which)
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

void Outputs::unpack(const SettingsImage& image)
{
    for (int output = 1; output <= kOutputCount; ++output)
        permanent[output - 1] = flagBit(image.u8(slot("OCFG", output)), kPermanentBit);
    for (int thermostat = 0; thermostat < 3; ++thermostat) {
        const std::uint8_t modes = image.u8(slot("OCFG", thermostatOutput(thermostat)));
        thermostats[thermostat] = {.lowSignalling = flagBit(modes, kSignallingBit),
                                   .heating = flagBit(modes, kHeatingBit),
                                   .cooling = flagBit(modes, kCoolingBit)};
        highSignalling[thermostat] = flagBit(image.u8(slot("OCFG", highSignallingOutput(thermostat))), kSignallingBit);
    }
    wakingHoursOnO4 = flagBit(image.u8(slot("OCFG", 4)), kExtraFunctionBit);
    alarmStateOnO6 = flagBit(image.u8(slot("OCFG", 6)), kExtraFunctionBit);
    signallingTime = image.u8(slot("ATIM"));
    buzzer = flagBit(image.u8(slot("MCFG2")), kBuzzerBit);
    closedWithOk = 0;
}

void Outputs::pack(SettingsImage& image) const
{
    if (closedWithOk == 0)
        return;
    std::array<std::uint8_t, kOutputCount> bytes{};
    for (int output = 0; output < kOutputCount; ++output)
        bytes[output] = withFlagBit(0, kPermanentBit, permanent[output]);
    for (int thermostat = 0; thermostat < 3; ++thermostat) {
        // Heating wins over cooling, cooling over signalling, whatever the
        // boxes show.
        const ThermostatOutput& modes = thermostats[thermostat];
        const int mode = modes.heating ? kHeatingBit : modes.cooling ? kCoolingBit : kSignallingBit;
        const int modeChecked = modes.heating || modes.cooling || modes.lowSignalling;
        std::uint8_t& modeByte = bytes[thermostatOutput(thermostat) - 1];
        modeByte = withFlagBit(modeByte, mode, modeChecked);
        std::uint8_t& highByte = bytes[highSignallingOutput(thermostat) - 1];
        highByte = withFlagBit(highByte, kSignallingBit, highSignalling[thermostat]);
    }
    bytes[4 - 1] = withFlagBit(bytes[4 - 1], kExtraFunctionBit, wakingHoursOnO4);
    bytes[6 - 1] = withFlagBit(bytes[6 - 1], kExtraFunctionBit, alarmStateOnO6);
    for (int output = 1; output <= kOutputCount; ++output)
        image.setU8(slot("OCFG", output), bytes[output - 1]);
    image.setU8(slot("ATIM"), static_cast<std::uint8_t>(signallingTime));
    image.setU8(slot("MCFG2"), withFlagBit(image.u8(slot("MCFG2")), kBuzzerBit, buzzer));
}

void Outputs::modeClicked(int thermostat, ThermostatMode clicked)
{
    ThermostatOutput& modes = thermostats.at(thermostat);
    if (modes.mode(clicked) == 0)
        return;
    for (const ThermostatMode other : kModes) {
        if (other != clicked)
            modes.mode(other) = 0;
    }
}

} // namespace telvor
