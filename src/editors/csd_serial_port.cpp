#include "csd_serial_port.h"

#include "editors/flag_bits.h"

#include <algorithm>

namespace telvor {
namespace {

constexpr int kInterfaceBit = 0;
constexpr int kCharacterSizeBit = 1;
constexpr int kStopBitsBit = 2;
constexpr int kParityShift = 3;
constexpr int kParityMask = 0x03;
constexpr int kSpeedShift = 5;
constexpr int kSpeedMask = 0x07;
constexpr int kLastParity = 2; // ODD
constexpr int kLastSpeed = 5;  // 19200

} // namespace

void CsdSerialPort::unpack(const SettingsImage& image)
{
    const std::uint8_t byte = image.u8(slot("SCFG"));
    interface = flagBit(byte, kInterfaceBit);
    characterSize = flagBit(byte, kCharacterSizeBit);
    stopBits = flagBit(byte, kStopBitsBit);
    parity = std::min(byte >> kParityShift & kParityMask, kLastParity);
    speed = std::min(byte >> kSpeedShift & kSpeedMask, kLastSpeed);
}

void CsdSerialPort::pack(SettingsImage& image) const
{
    std::uint8_t byte
        = static_cast<std::uint8_t>((speed & kSpeedMask) << kSpeedShift | (parity & kParityMask) << kParityShift);
    byte = withFlagBit(byte, kStopBitsBit, stopBits & 1);
    byte = withFlagBit(byte, kCharacterSizeBit, characterSize & 1);
    image.setU8(slot("SCFG"), withFlagBit(byte, kInterfaceBit, interface & 1));
}

} // namespace telvor
