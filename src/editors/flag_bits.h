// Flag bytes as the editors show them: one check-box member (0 or 1) per
// bit. An editor rebuilds a byte from 0 when it owns the whole byte, so bits
// nobody shows become 0; it keeps the other bits when the byte is shared
// with another editor.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace telvor {

// The check-box member for bit `bit` of the byte.
constexpr int flagBit(std::uint8_t byte, int bit)
{
    return byte >> bit & 1;
}

// The byte with bit `bit` set when the member is non-zero and cleared when
// it is 0; every other bit as it was.
constexpr std::uint8_t withFlagBit(std::uint8_t byte, int bit, int checked)
{
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    return checked != 0 ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

// Bits 0 .. N-1 of the byte as N check-box members.
template <std::size_t N>
constexpr std::array<int, N> splitFlags(std::uint8_t byte)
{
    static_assert(N <= 8);
    std::array<int, N> members{};
    for (std::size_t bit = 0; bit < N; ++bit)
        members[bit] = flagBit(byte, static_cast<int>(bit));
    return members;
}

// The members as bits 0 .. size-1 of `kept`; the bits above them as in
// `kept`. Pass 0 as `kept` to rebuild the byte from 0.
constexpr std::uint8_t joinFlags(std::span<const int> members, std::uint8_t kept = 0)
{
    std::uint8_t byte = kept;
    for (std::size_t bit = 0; bit < members.size(); ++bit)
        byte = withFlagBit(byte, static_cast<int>(bit), members[bit]);
    return byte;
}

} // namespace telvor
