// The serial side of the device link: 9600 baud 8N1 on a device path.
#pragma once

#include "link/link_transport.h"
#include "link/reply_rules.h"
#include "link/serial_port_kind.h"

#include <cstddef>
#include <string>

namespace telvor {

class SerialTransport final : public LinkTransport {
public:
    SerialTransport(DeviceLink& link, std::string devicePath);
    ~SerialTransport() override;

    OpenResult open() override;
    void close() override;
    CommandResult command(std::string_view text) override;
    QueryResult query(std::string_view text) override;

private:
    void discardStaleInput();
    bool write(const std::string& line);
    std::size_t read(char* buffer, std::size_t capacity, ReplyKind kind);

    std::string m_devicePath;
    int m_descriptor = -1;
    SerialPortKind m_portKind = SerialPortKind::Buffered;
};

} // namespace telvor
