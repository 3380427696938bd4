#include "csd_serial_port_editor.h"

#include <algorithm>

namespace telvor {
namespace {

constexpr int kInterfaceShift = 0;
constexpr int kCharacterSizeShift = 1;
constexpr int kStopBitsShift = 2;
constexpr int kParityShift = 3;
constexpr int kSpeedShift = 5;
constexpr int kLastParity = 2;
constexpr int kLastSpeed = 5;

} // namespace

void CsdSerialPortEditor::unpack(const SettingsImage& image)
{
    const std::uint8_t byte = image.u8(slot("SCFG"));
    interface = (byte >> kInterfaceShift) & 1;
    characterSize = (byte >> kCharacterSizeShift) & 1;
    stopBits = (byte >> kStopBitsShift) & 1;
    parity = std::min((byte >> kParityShift) & 3, kLastParity);
    speed = std::min((byte >> kSpeedShift) & 7, kLastSpeed);
}

void CsdSerialPortEditor::pack(SettingsImage& image) const
{
    image.setU8(slot("SCFG"), static_cast<std::uint8_t>((speed & 7) << kSpeedShift |
                                                        (parity & 3) << kParityShift |
                                                        (stopBits & 1) << kStopBitsShift |
                                                        (characterSize & 1) << kCharacterSizeShift |
                                                        (interface & 1) << kInterfaceShift));
}

} // namespace telvor
