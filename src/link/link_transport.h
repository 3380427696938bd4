// One way of reaching the device: the serial port or a TCP connection. The
// device link makes the one its endpoint names at each open and talks
// through it until it closes.
#pragma once

#include "link/device_link.h"
#include "link/link_results.h"

#include <string>
#include <string_view>

namespace telvor {

class LinkTransport {
public:
    virtual ~LinkTransport() = default;
    LinkTransport(const LinkTransport&) = delete;
    LinkTransport& operator=(const LinkTransport&) = delete;

    virtual OpenResult open() = 0;
    virtual void close() = 0;
    virtual CommandResult command(std::string_view text) = 0;
    virtual QueryResult query(std::string_view text) = 0;

protected:
    explicit LinkTransport(DeviceLink& link);

    // The caller's settings and hooks.
    const DeviceLink& link() const { return m_link; }

    void reportSent(std::string_view bytes) const;
    void reportReceived(std::string_view bytes) const;
    // Becomes the link's reply(), cut to its limit.
    void setReply(std::string_view text);
    // The link's answer(); a transport puts at most kAnswerCapacity bytes in.
    std::string& answer() { return m_link.m_answer; }
    void setOpenFailureDetail(std::string detail) { m_link.m_openFailureDetail = std::move(detail); }

private:
    DeviceLink& m_link;
};

} // namespace telvor
