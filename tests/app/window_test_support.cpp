#include "window_test_support.h"

#include <QFile>

namespace telvor {

QString endpointText(const DeviceLink& link)
{
    if (const auto* port = std::get_if<SerialPortNumber>(&link.endpoint))
        return QStringLiteral("COM %1").arg(port->number);
    if (const auto* port = std::get_if<SerialPortPath>(&link.endpoint))
        return QStringLiteral("serial device %1").arg(QString::fromStdString(port->path));
    const auto& tcp = std::get<TcpEndpoint>(link.endpoint);
    return QStringLiteral("TCP %1:%2").arg(QString::fromStdString(tcp.host)).arg(tcp.port);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray patternImageBytes()
{
    QByteArray bytes(static_cast<qsizetype>(kImageSize), '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) % 251);
    return bytes;
}

} // namespace telvor
