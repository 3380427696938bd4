// build/telvor-sim on a free loopback port, for the window's device commands.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace telvor {

class VirtualDevice final {
public:
    // Starts the simulator with these options besides its loopback address,
    // and waits for its "listening on ADDRESS:PORT" line.
    explicit VirtualDevice(const QStringList& options = {});
    ~VirtualDevice();

    bool listening() const { return m_port != 0; }
    int port() const { return m_port; }
    // How many connections the device has accepted so far.
    int connectionsOpened();
    // The device's image as it saves it after every connection.
    QString savedImagePath() const;
    void stop();

private:
    QTemporaryDir m_directory;
    QProcess m_process;
    QByteArray m_log;
    int m_port = 0;
};

} // namespace telvor
