// The one channel to a Telvor device: a serial port or a TCP connection,
// carrying lines ended by CR.
#pragma once

#include "link/elapsed_timer.h"
#include "link/reply_rules.h"
#include "link/serial_port_kind.h"
#include "link/timing.h"

#include <cstddef>
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
    // 5 send error. A text that does not fit the 4096-byte line buffer with
    // its CR is not sent and counts as a failed write or send.
    int sendCommand(const char* text);
    // One query whose answer is collected into `answer`. 0 some answer; 1
    // write or send failed (also a text that does not fit the 1024-byte line
    // buffer with its CR); 3 nothing received or closed; 4 receive error.
    int sendQuery(const char* text);

    char replyText[1024] = {};
    char answer[4096 + 1] = {};
    char ipAddress[1024] = {};
    int tcpPort = 0;
    int useTcp = 0;

    Timing timing;
    // Serial replies end only at a pause of timing.serialInterByte, the byte
    // limit or the total limit (pause framing). Otherwise a reply also ends
    // once its bytes make a whole reply and a settle passes without another
    // byte (content framing): timing.serialSettleDirect on a pseudo-terminal
    // or an on-board port, timing.serialSettle on any other. The same
    // replies, read without waiting out the pause.
    bool strictSerialTiming = false;
    // The serial device path of port n is this format filled with n - 1.
    std::string serialDeviceFormat = "/dev/ttyS%d";

    // Called with "Błąd wpisu timeouts !" when the line settings cannot be
    // applied; opening goes on. Like every text of the device conversation
    // the warning is in Windows-1250 (bytes 0xB3 and 0xB9 for the two Polish
    // letters); the window converts it for display.
    std::function<void(const std::string&)> onWarning;
    // Called at least every timing.keepAliveSlice while the link waits,
    // close() included.
    std::function<void()> keepAlive;
    enum class Direction { Sent, Received };
    // Every line sent (its CR included) and every piece of bytes received, as
    // they pass, byte for byte; stale bytes dropped before a TCP command are
    // reported as received too.
    std::function<void(Direction, std::string_view)> onTraffic;
    // Why the last open failed, for a person: the device path, the system's
    // reason and the remedy, in UTF-8 (paths and the system's reasons are).
    // Empty when there is nothing to add.
    std::string openFailureDetail;

private:
    int openSerial(int serialPortNumber);
    int openTcp();
    void closeSocket();

    int serialCommand(const char* text);
    int serialQuery(const char* text);
    bool writeSerial(const std::string& line);
    std::size_t readSerial(char* buffer, std::size_t capacity, ReplyKind kind);

    int tcpCommand(const char* text);
    int tcpQuery(const char* text);
    void discardStaleInput();
    bool sendLine(const std::string& line, Milliseconds limit);
    // Receives into `answer` until the bytes held are complete or `limit`
    // has passed: 0 complete, 1 time ran out, 3 the device closed the
    // connection, 4 receive error (3 and 4 close the socket).
    int receiveAnswer(ReplyKind kind, Milliseconds limit, std::size_t& held);

    void reportSent(const std::string& line);
    void reportReceived(const char* bytes, std::size_t count);
    void storeReplyText(const std::string& text);

    int m_socket = -1;
    int m_serial = -1;
    SerialPortKind m_serialPortKind = SerialPortKind::Buffered;
    ElapsedTimer m_timer;
};

} // namespace telvor
