// telvorctl --trace: every line sent and every piece of bytes received, with
// the milliseconds since the operation began, control bytes made visible and
// the SIM PIN and the two passwords hidden.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace telvor {

class TrafficTrace final {
public:
    using Clock = std::chrono::steady_clock;

    explicit TrafficTrace(std::function<void(std::string_view)> printLine,
                          std::function<Clock::time_point()> now = Clock::now);

    // Bytes as the link sends them; a line is printed once its CR has passed.
    void sent(std::string_view bytes);
    // Bytes as the link receives them, printed at once.
    void received(std::string_view bytes);

private:
    std::string stamp() const;
    std::string maskReceived(std::string_view bytes);

    std::function<void(std::string_view)> m_printLine;
    std::function<Clock::time_point()> m_now;
    Clock::time_point m_start;
    std::string m_pendingLine;
    std::string m_receivedTail;
    bool m_hidingReceived = false;
};

// CR as \r, LF as \n, other control bytes as \xNN; everything else as is.
std::string visibleBytes(std::string_view bytes);

// The line with the value of every PIN=, APN2= and APN5= assignment replaced
// by ***. A value ends where the next KEY= assignment of the line begins.
std::string maskSecrets(std::string_view line);

} // namespace telvor
