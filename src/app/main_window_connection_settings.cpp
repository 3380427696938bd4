// The connection settings: read into the window, the TCP/IP settings dialog
// and the device link at start, written back when the window closes.
#include "main_window.h"

#include "frontend/connection_settings.h"

#include "link/device_link.h"

namespace telvor {

void MainWindow::loadConnectionSettings()
{
    const ConnectionSettings settings = telvor::loadConnectionSettings();
    m_serialPortNumber = settings.serialPortNumber;
    m_link.useTcp = settings.useTcp ? 1 : 0;
    m_radioIndex = settings.useTcp ? TcpRadio : ComRadio;
    m_tcpSettingsDialog.setSettings({settings.ipAddress, settings.tcpPort});
    copyTcpSettingsIntoLink();
    m_link.serialDeviceFormat = settings.serialDeviceFormat;
    m_link.strictSerialTiming = settings.strictSerialTiming;
}

void MainWindow::saveConnectionSettingsAndClose(int result)
{
    if (m_operationRunning)
        return;
    takeValuesFromControls();
    ConnectionSettings settings = telvor::loadConnectionSettings();
    settings.serialPortNumber = m_serialPortNumber;
    settings.tcpPort = m_tcpSettingsDialog.settings().tcpPort;
    settings.ipAddress = m_tcpSettingsDialog.settings().ipAddress;
    settings.useTcp = m_link.useTcp != 0;
    // Nobody is left to tell when the store cannot be written.
    telvor::saveConnectionSettings(settings);
    done(result);
}

} // namespace telvor
