#include "settings_image.h"

#include <algorithm>

namespace telvor {

std::span<std::uint8_t> SettingsImage::bytesOf(const Slot& slot)
{
    return std::span(m_bytes).subspan(slot.offset, slot.width);
}

std::span<const std::uint8_t> SettingsImage::bytesOf(const Slot& slot) const
{
    return std::span(m_bytes).subspan(slot.offset, slot.width);
}

std::uint16_t SettingsImage::u16(const Slot& slot) const
{
    return static_cast<std::uint16_t>(m_bytes[slot.offset] | m_bytes[slot.offset + 1] << 8);
}

void SettingsImage::setU16(const Slot& slot, std::uint16_t value)
{
    m_bytes[slot.offset] = static_cast<std::uint8_t>(value & 0xFF);
    m_bytes[slot.offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

long SettingsImage::number(const Slot& slot) const
{
    switch (slot.encoding) {
    case U16:
        return u16(slot);
    case S16:
        return s16(slot);
    default:
        return u8(slot);
    }
}

void SettingsImage::setNumber(const Slot& slot, long value)
{
    if (slot.width == 2)
        setU16(slot, static_cast<std::uint16_t>(value & 0xFFFF));
    else
        setU8(slot, static_cast<std::uint8_t>(value & 0xFF));
}

std::string SettingsImage::text(const Slot& slot) const
{
    const auto field = bytesOf(slot);
    const auto end = std::find(field.begin(), field.end(), 0);
    return std::string(field.begin(), end);
}

void SettingsImage::setText(const Slot& slot, std::string_view text)
{
    const auto field = bytesOf(slot);
    const std::size_t length = std::min(text.size(), field.size());
    std::copy_n(text.begin(), length, field.begin());
    if (length < field.size())
        field[length] = 0;
}

} // namespace telvor
