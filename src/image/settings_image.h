// The settings image: every device parameter in one packed 3608-byte record,
// which is also, byte for byte, the settings file.
#pragma once

#include "settings_fields.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace telvor {

class SettingsImage {
public:
    using Bytes = std::array<std::uint8_t, kImageSize>;

    void clear() { m_bytes.fill(0); }
    Bytes& bytes() { return m_bytes; }
    const Bytes& bytes() const { return m_bytes; }
    std::span<std::uint8_t> bytesOf(const Slot& slot);
    std::span<const std::uint8_t> bytesOf(const Slot& slot) const;

    std::uint8_t u8(const Slot& slot) const { return m_bytes[slot.offset]; }
    void setU8(const Slot& slot, std::uint8_t value) { m_bytes[slot.offset] = value; }
    std::uint16_t u16(const Slot& slot) const;
    void setU16(const Slot& slot, std::uint16_t value);
    std::int16_t s16(const Slot& slot) const { return static_cast<std::int16_t>(u16(slot)); }
    void setS16(const Slot& slot, std::int16_t value) { setU16(slot, static_cast<std::uint16_t>(value)); }

    // The value of a number field read as its encoding says: bytes as 0 to
    // 255, U16 as 0 to 65535, S16 as -32768 to 32767.
    long number(const Slot& slot) const;
    // Stores the low bits that fit the field's width; no range check.
    void setNumber(const Slot& slot, long value);

    // At most the field's width, ending before the first 0x00.
    std::string text(const Slot& slot) const;
    // At most the field's width; a shorter text is followed by one 0x00 and
    // the bytes after it are left as they were.
    void setText(const Slot& slot, std::string_view text);

    friend bool operator==(const SettingsImage&, const SettingsImage&) = default;

private:
    Bytes m_bytes{};
};

} // namespace telvor
