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
          &Timing::tcpConnectWait, &Timing::tcpCommand, &Timing::tcpQuery, &Timing::tcpCloseDelay,
          &Timing::keepAliveSlice, &Timing::rewriteDelayShort, &Timing::rewriteDelayLong})
        scaled.*member = divided(this->*member, divisor);
    return scaled;
}

} // namespace telvor
