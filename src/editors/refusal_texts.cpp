#include "refusal_texts.h"

namespace telvor {

std::string integerMessage()
{
    return "Please enter an integer.";
}

std::string rangeMessage(long long minimum, long long maximum)
{
    return "Please enter an integer between " + std::to_string(minimum) + " and " + std::to_string(maximum) + ".";
}

std::string lengthMessage(long long limit)
{
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

} // namespace telvor
