// The one channel to a Telvor device: a serial port or a TCP connection,
// carrying lines ended by CR.
#pragma once

#include "timing.h"

#include <functional>
#include <string>
#include <string_view>

namespace telvor {

class DeviceLink {
public:
    virtual ~DeviceLink();

    // 0 open; 1 the serial port cannot be opened or the TCP connection was
    // not confirmed in time; 4 no socket; 5 the socket cannot be made
    // non-blocking.
    int open(int serialPortNumber);
    void close();
    // One line acknowledged by "OK" CR. 0 acknowledged; serial: 1 write
    // failed, 2 reply does not begin with "OK" CR, 3 nothing received;
    // TCP: 1 no acknowledgement in time, 3 device closed, 4 receive error,
    // 5 send error.
    int sendCommand(const char* text);
    // One query whose answer is collected into `answer`. 0 some answer; 1
    // write or send failed; 3 nothing received or closed; 4 receive error.
    int sendQuery(const char* text);

    char replyText[1024] = {};
    char answer[4096 + 1] = {};
    char ipAddress[1024] = {};
    int tcpPort = 0;
    int useTcp = 0;

    Timing timing;
    // The serial device path of port n is this format filled with n - 1.
    std::string serialDeviceFormat = "/dev/ttyS%d";

    // Called with "Błąd wpisu timeouts !" when the line settings cannot be
    // applied; opening goes on.
    std::function<void(const std::string&)> onWarning;
    // Called at least every timing.keepAliveSlice while the link waits.
    std::function<void()> keepAlive;
    enum class Direction { Sent, Received };
    // Every line sent and every piece of bytes received, as they pass.
    std::function<void(Direction, std::string_view)> onTraffic;
    // Why the last open failed, for a person: the device path, the system's
    // reason and the remedy. Empty when there is nothing to add.
    std::string openFailureDetail;

private:
    int m_socket = -1;
    int m_serial = -1;
};

} // namespace telvor
