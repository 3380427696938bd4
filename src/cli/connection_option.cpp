#include "connection_option.h"

#include <QRegularExpression>

namespace telvor {
namespace {

constexpr int kDefaultTcpPort = 23;
constexpr int kHighestSerialPort = 255;

// A plain decimal number: digits only, no sign, no leading zero.
std::optional<int> decimal(const QString& text, int highest)
{
    static const QRegularExpression pattern("^(0|[1-9][0-9]{0,5})$");
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value > highest)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ConnectionChoice> tcpChoice(const QString& value)
{
    const qsizetype colon = value.indexOf(':');
    const QString address = colon < 0 ? value : value.left(colon);
    const QStringList parts = address.split('.');
    if (parts.size() != 4)
        return std::nullopt;
    for (const QString& part : parts)
        if (!decimal(part, 255))
            return std::nullopt;
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Tcp;
    choice.address = address.toStdString();
    choice.port = kDefaultTcpPort;
    if (colon >= 0) {
        const std::optional<int> port = decimal(value.mid(colon + 1), 65535);
        if (!port || *port == 0)
            return std::nullopt;
        choice.port = static_cast<std::uint16_t>(*port);
    }
    return choice;
}

std::optional<ConnectionChoice> serialChoice(const QString& value)
{
    const std::optional<int> number = decimal(value, kHighestSerialPort);
    if (!number)
        return std::nullopt;
    ConnectionChoice choice;
    choice.transport = ConnectionChoice::Transport::Serial;
    choice.serialPortNumber = *number;
    return choice;
}

} // namespace telvor
