#include "input_checks.h"

#include <limits>

namespace telvor {
namespace {

bool isBlank(QChar character)
{
    return character == u' ' || (character >= u'\t' && character <= u'\r');
}

bool isDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

} // namespace

std::optional<long long> LeadingInteger(const QString& text)
{
    qsizetype position = 0;
    while (position < text.size() && isBlank(text[position]))
        ++position;
    bool negative = false;
    if (position < text.size() && (text[position] == u'+' || text[position] == u'-')) {
        negative = text[position] == u'-';
        ++position;
    }
    if (position >= text.size() || !isDigit(text[position]))
        return std::nullopt;
    constexpr long long kLargest = std::numeric_limits<long long>::max();
    long long magnitude = 0;
    for (; position < text.size() && isDigit(text[position]); ++position) {
        const int digit = text[position].unicode() - u'0';
        magnitude = magnitude > (kLargest - digit) / 10 ? kLargest : magnitude * 10 + digit;
    }
    return negative ? -magnitude : magnitude;
}

QString IntegerMessage()
{
    return QStringLiteral("Please enter an integer.");
}

QString RangeMessage(int minimum, int maximum)
{
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum);
}

QString LengthMessage(int limit)
{
    return QStringLiteral("Please enter no more than %1 characters.").arg(limit);
}

QString CharacterMessage(const QString& boxName, const QString& character)
{
    return QStringLiteral("The box \"%1\" holds the character \"%2\", which the device "
                          "cannot store. Please replace or remove it.")
        .arg(boxName, character);
}

} // namespace telvor
