#include "link/timing.h"

#include <algorithm>

namespace telvor {

namespace {

Milliseconds divided(Milliseconds limit, int divisor)
{
    return std::max(Milliseconds{1}, limit / divisor);
}

} // namespace

Timing Timing::scaledDown(int divisor) const
{
    if (divisor < 1)
        return *this;
    Timing scaled;
    for (auto member :
         {&Timing::serialInterByte, &Timing::serialSettle, &Timing::serialSettleDirect, &Timing::serialReadBase,
          &Timing::serialReadPerByte, &Timing::serialWriteBase, &Timing::serialWritePerByte, &Timing::tcpConnect,
          &Timing::tcpConnectWait, &Timing::tcpAttemptDelay, &Timing::tcpCommand, &Timing::tcpQuery,
          &Timing::tcpCloseDelay, &Timing::keepAliveSlice, &Timing::rewriteDelayShort, &Timing::rewriteDelayLong})
        scaled.*member = divided(this->*member, divisor);
    return scaled;
}

std::string secondsText(Milliseconds limit)
{
    const auto count = limit.count();
    std::string text = std::to_string(count / 1000);
    if (const auto fraction = count % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        while (digits.back() == '0')
            digits.pop_back();
        text += "." + digits;
    }
    return text + " s";
}

} // namespace telvor
