// The messages that refuse a typed value when OK is pressed, shared by the
// dialogs and by settings documents, which check values as strictly.
#pragma once

#include <string>

namespace telvor {

// "Please enter an integer."
std::string integerMessage();
// "Please enter an integer between %1 and %2."
std::string rangeMessage(long long minimum, long long maximum);
// "Please enter no more than %1 characters."
std::string lengthMessage(long long limit);

} // namespace telvor
