// Every time limit of the device conversation, in one place. Production uses
// the values below; tests scale them down.
#pragma once

#include <chrono>
#include <string>

namespace telvor {

using Milliseconds = std::chrono::milliseconds;

struct Timing {
    Milliseconds serialInterByte{500}; // pause that ends a serial read
    // Quiet time that ends a serial reply whose bytes already make a whole
    // reply (content framing): long enough for the latency timer of a USB
    // serial adapter, which may hold back a trailing byte that long.
    Milliseconds serialSettle{20};
    // The same on a port that hands bytes on as they arrive (a pseudo-
    // terminal, an on-board UART, whose FIFO is emptied after four quiet
    // character times, 4.2 ms at 9600 baud).
    Milliseconds serialSettleDirect{8};
    Milliseconds serialReadBase{5000}; // serial read limit: base + perByte * N
    Milliseconds serialReadPerByte{10};
    Milliseconds serialWriteBase{600}; // serial write limit: base + perByte * N
    Milliseconds serialWritePerByte{10};
    Milliseconds tcpConnect{5000};     // name resolved and connection confirmed within
    Milliseconds tcpConnectWait{1000}; // one wait for writability
    // A host with several addresses: the next one is tried when those before
    // have not answered within this, and they go on being waited for.
    Milliseconds tcpAttemptDelay{250};
    Milliseconds tcpCommand{5000};       // acknowledgement of a command
    Milliseconds tcpQuery{3000};         // end of a query answer
    Milliseconds tcpCloseDelay{50};      // pause after closing the socket
    Milliseconds keepAliveSlice{50};     // longest wait between keep-alive calls
    Milliseconds rewriteDelayShort{100}; // verification rewrite pauses
    Milliseconds rewriteDelayLong{200};

    // Every limit divided by `divisor` (at least 1 ms each), for tests. A
    // divisor below 1 leaves the limits as they are.
    Timing scaledDown(int divisor) const;
};

// A time limit as a message names it: "5 s", "0.25 s".
std::string secondsText(Milliseconds limit);

} // namespace telvor
