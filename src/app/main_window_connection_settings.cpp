// The connection settings: read into the window, the TCP/IP settings dialog
// and the device link at start, written back when the window closes.
#include "main_window.h"

#include "frontend/connection_endpoint.h"
#include "frontend/connection_settings.h"

#include "link/device_link.h"

namespace telvor {

void MainWindow::loadConnectionSettings()
{
    m_connection = telvor::loadConnectionSettings();
    m_serialPortNumber = m_connection.serialPortNumber;
    m_radioIndex = m_connection.useTcp ? TcpRadio : ComRadio;
    m_tcpSettingsDialog.setSettings({m_connection.ipAddress, m_connection.tcpPort});
    applyConnectionSettings(m_connection, m_link);
}

// The link follows the window's choice: the transport radios, the TCP/IP
// settings and the port number as last taken from its edit.
void MainWindow::pointLinkAtConnection()
{
    m_connection.serialPortNumber = m_serialPortNumber;
    m_connection.ipAddress = m_tcpSettingsDialog.settings().ipAddress;
    m_connection.tcpPort = m_tcpSettingsDialog.settings().tcpPort;
    applyConnectionSettings(m_connection, m_link);
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
    settings.useTcp = m_connection.useTcp;
    // Nobody is left to tell when the store cannot be written.
    telvor::saveConnectionSettings(settings);
    done(result);
}

} // namespace telvor
