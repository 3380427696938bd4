// The one channel to a Telvor device: a serial port or a TCP connection,
// carrying lines ended by CR.
#pragma once

#include "link/endpoint.h"
#include "link/host_lookup.h"
#include "link/link_results.h"
#include "link/serial_device_path.h"
#include "link/timing.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace telvor {

class LinkTransport;

// What the caller sets are public members, read at each use; what the link
// reports are accessors.
class DeviceLink final {
public:
    DeviceLink();
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Opens the endpoint, closing first what is open.
    OpenResult open();
    void close();
    // One line acknowledged by "OK" CR; bytes that were waiting before it
    // is sent are dropped first (a query keeps them). Serial: the text after
    // "OK" CR becomes reply(); TCP: the bytes received become answer(), and
    // after "VER?" the version text becomes reply().
    CommandResult sendCommand(std::string_view text);
    // One query whose answer is collected into answer().
    QueryResult sendQuery(std::string_view text);

    // The text that followed "OK" in the last reply that carried one,
    // control bytes as blanks; at most 1023 bytes. Kept until the next
    // such reply, also across a failed exchange.
    const std::string& reply() const { return m_reply; }
    // The bytes of the last query (over TCP also of the last command), at
    // most 4096.
    std::string_view answer() const { return m_answer; }
    // Why the last open failed, for a person, in UTF-8 (paths, host names
    // and the system's reasons are). Serial: the device path, the system's
    // reason and the remedy. TCP: the name that could not be resolved, or
    // each address tried and how it failed. Empty when there is nothing to
    // add.
    const std::string& openFailureDetail() const { return m_openFailureDetail; }

    Endpoint endpoint;
    Timing timing;
    // Serial replies end only at a pause of timing.serialInterByte, the byte
    // limit or the total limit (pause framing). Otherwise a reply also ends
    // once its bytes make a whole reply and a settle passes without another
    // byte (content framing): timing.serialSettleDirect on a pseudo-terminal
    // or an on-board port, timing.serialSettle on any other. The same
    // replies, read without waiting out the pause.
    bool strictSerialTiming = false;
    // The device path of SerialPortNumber n is this format filled with n - 1.
    std::string serialDeviceFormat = kDefaultSerialDeviceFormat;
    // Gives the addresses of a TcpEndpoint's host; it runs on a thread of its
    // own, within timing.tcpConnect, while keepAlive goes on being called.
    HostLookup hostLookup = lookUpHost;

    // Called with "Błąd wpisu timeouts !" when the line settings cannot be
    // applied; opening goes on. Like every text of the device conversation
    // the warning is in Windows-1250 (bytes 0xB3 and 0xB9 for the two Polish
    // letters); the window converts it for display.
    std::function<void(const std::string&)> onWarning;
    // Called at least every timing.keepAliveSlice while the link waits,
    // close() included.
    std::function<void()> keepAlive;
    // A flag that another thread may set to end the link's work at once: it
    // is looked at every timing.keepAliveSlice while the link waits, and
    // once it is set the opening or exchange under way and every later one
    // ends as Stopped, the link closed. It must outlive the link.
    const std::atomic<bool>* stopRequest = nullptr;
    bool stopRequested() const { return stopRequest && stopRequest->load(); }
    enum class Direction { Sent, Received };
    // Every line sent (its CR included) and every piece of bytes received, as
    // they pass, byte for byte; stale bytes dropped before a command are
    // reported as received too.
    std::function<void(Direction, std::string_view)> onTraffic;

private:
    friend class LinkTransport;

    std::unique_ptr<LinkTransport> transportForEndpoint();

    std::unique_ptr<LinkTransport> m_transport;
    std::string m_reply;
    std::string m_answer;
    std::string m_openFailureDetail;
};

} // namespace telvor
