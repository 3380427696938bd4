// The TCP side of the device link: one connection to the first address of
// the device's host that answers.
#pragma once

#include "link/elapsed_timer.h"
#include "link/endpoint.h"
#include "link/host_lookup.h"
#include "link/link_transport.h"
#include "link/reply_rules.h"

#include <cstddef>
#include <string>
#include <vector>

namespace telvor {

class SlicedWait;

class TcpTransport final : public LinkTransport {
public:
    TcpTransport(DeviceLink& link, TcpEndpoint endpoint);
    ~TcpTransport() override;

    OpenResult open() override;
    void close() override;
    CommandResult command(std::string_view text) override;
    QueryResult query(std::string_view text) override;

private:
    // How receiving an answer ended.
    enum class Received { Complete, OutOfTime, Closed, Failed };

    OpenResult connectToAny(const std::vector<SocketAddress>& addresses, SlicedWait& wait);
    void closeSocket();
    void discardStaleInput();
    bool sendLine(const std::string& line, Milliseconds limit);
    // Receives into the link's answer until the bytes held are complete or
    // `limit` has passed. Closed and Failed close the socket.
    Received receiveAnswer(ReplyKind kind, Milliseconds limit);

    TcpEndpoint m_endpoint;
    int m_socket = -1;
    ElapsedTimer m_timer;
};

} // namespace telvor
