#include "leading_number.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace telvor {
namespace {

bool isBlank(char character)
{
    return character == ' ' || (character >= '\t' && character <= '\r');
}

bool isDigit(char character)
{
    return character >= '0' && character <= '9';
}

std::size_t skipBlanks(std::string_view text)
{
    std::size_t position = 0;
    while (position < text.size() && isBlank(text[position]))
        ++position;
    return position;
}

std::size_t skipDigits(std::string_view text, std::size_t position)
{
    while (position < text.size() && isDigit(text[position]))
        ++position;
    return position;
}

// The decimal exponent of the number's leading significant digit, enough to
// tell an overflow from an underflow once from_chars reports either. The
// number has already been checked to match the float pattern.
long magnitudeOf(std::string_view number)
{
    std::size_t position = 0;
    long leadingDigits = 0;
    bool significant = false;
    while (position < number.size() && isDigit(number[position])) {
        significant = significant || number[position] != '0';
        if (significant)
            ++leadingDigits;
        ++position;
    }
    long fractionZeros = 0;
    if (position < number.size() && number[position] == '.') {
        ++position;
        while (!significant && position < number.size() && number[position] == '0') {
            ++fractionZeros;
            ++position;
        }
    }
    long exponent = 0;
    const std::size_t marker = number.find_first_of("eE");
    if (marker != std::string_view::npos) {
        std::size_t digits = marker + 1;
        const bool negative = number[digits] == '-';
        if (number[digits] == '+' || number[digits] == '-')
            ++digits;
        for (; digits < number.size(); ++digits)
            exponent = std::min(exponent * 10 + (number[digits] - '0'), 1'000'000L);
        if (negative)
            exponent = -exponent;
    }
    return significant ? leadingDigits + exponent : exponent - fractionZeros;
}

} // namespace

std::optional<float> readLeadingFloat(std::string_view text)
{
    std::size_t position = skipBlanks(text);
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    const std::size_t start = position;
    position = skipDigits(text, position);
    std::size_t mantissaDigits = position - start;
    if (position < text.size() && text[position] == '.') {
        const std::size_t fraction = position + 1;
        position = skipDigits(text, fraction);
        mantissaDigits += position - fraction;
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
        std::size_t exponent = position + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            position = exponentEnd;
    }
    const std::string_view number = text.substr(start, position - start);
    float value = 0;
    const auto [end, error]
        = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range)
        value = magnitudeOf(number) > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    return negative ? -value : value;
}

std::optional<long long> readLeadingInteger(std::string_view text)
{
    std::size_t position = skipBlanks(text);
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    const std::size_t end = skipDigits(text, position);
    if (end == position)
        return std::nullopt;
    constexpr long long kLargest = std::numeric_limits<long long>::max();
    long long magnitude = 0;
    for (std::size_t digit = position; digit < end; ++digit) {
        const int value = text[digit] - '0';
        magnitude = magnitude > (kLargest - value) / 10 ? kLargest : magnitude * 10 + value;
    }
    return negative ? -magnitude : magnitude;
}

} // namespace telvor
