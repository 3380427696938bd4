#include "virtual_device.h"

#include <QRegularExpression>

namespace telvor {

VirtualDevice::VirtualDevice(const QStringList& options)
{
    const QString program = qEnvironmentVariable("TELVOR_BUILD_DIR") + QStringLiteral("/telvor-sim");
    m_process.start(program, QStringList{"--tcp", "127.0.0.1:0", "--verbose", "--save", savedImagePath()} + options);
    if (!m_process.waitForStarted(5000))
        return;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {}
    const QString first = QString::fromUtf8(m_process.readLine()).trimmed();
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$")).match(first);
    if (match.hasMatch())
        m_port = match.captured(1).toInt();
}

VirtualDevice::~VirtualDevice()
{
    stop();
}

void VirtualDevice::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

int VirtualDevice::connectionsOpened()
{
    m_log += m_process.readAllStandardError();
    return static_cast<int>(m_log.count("connection opened"));
}

QString VirtualDevice::savedImagePath() const
{
    return m_directory.filePath(QStringLiteral("device.tvr"));
}

} // namespace telvor
