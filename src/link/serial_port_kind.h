// How a serial device hands received bytes on to its reader. Content framing
// waits after a whole reply for a byte that may still follow it; how long
// depends on how late such a byte can reach the reader.
#pragma once

namespace telvor {

enum class SerialPortKind {
    // Pseudo-terminals and on-board UARTs (ttyS): a byte reaches the reader
    // within a few character times of arriving on the line.
    Direct,
    // USB serial adapters, whose latency timer may hold bytes back for
    // 16 ms, and every device of a kind not known here.
    Buffered,
};

// The kind of the character device with these Linux device numbers.
SerialPortKind serialPortKind(unsigned major, unsigned minor);
// The kind of the open device behind `descriptor`; Buffered when it cannot
// be told.
SerialPortKind serialPortKindOf(int descriptor);

} // namespace telvor
