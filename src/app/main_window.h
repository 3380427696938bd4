// The program's only window and its whole command surface: the editor
// buttons, the file and device commands, the choice of the connection, the
// service options, and the version box, progress bar and status box in which
// every command reports. It is also the status surface of the device
// operations, which it records in the history.
#pragma once

#include "tcp_settings_dialog.h"

#include "frontend/connection_settings.h"
#include "history/recorded_operations.h"
#include "image/firmware_version.h"
#include "image/settings_image.h"
#include "operations/status_surface.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QAction;
class QButtonGroup;

namespace Ui {
class MainWindow;
}

namespace telvor {

struct DocumentError;
class DeviceLink;
class SettingsFileChooser;
struct WindowValues;

class MainWindow final : public QDialog, private StatusSurface {
    Q_OBJECT

public:
    // Indexes of the transport radio group, in its tab order.
    enum TransportRadio {
        TcpRadio,
        ComRadio,
        Com3Radio,
        Com4Radio,
        Com5Radio,
        Com6Radio,
        SecondTcpRadio,
    };

    MainWindow(SettingsImage& workingImage, DeviceLink& link, SettingsFileChooser& fileChooser,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the connection settings and loads the start-up settings file
    // named by `commandLine` (the default file when it is empty); runs once,
    // before the window is first shown.
    void initialise(const std::string& commandLine);

    // Dialog data exchange. Taking the values in checks the serial port
    // number and tells the user when it is wrong; the caller goes on either
    // way.
    void takeValuesFromControls();
    void putValuesIntoControls();

    int serialPortNumber() const { return m_serialPortNumber; }
    const QString& statusText() const { return m_statusText; }
    TcpSettingsDialog& tcpSettingsDialog() { return m_tcpSettingsDialog; }

public slots:
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectCommands();
    void connectEditorButtons();
    void connectDeviceLink();
    void openEditor(bool (*editor)(QWidget*, SettingsImage&, const WindowValues&));
    void takeSerialPortNumber();
    void showSerialDevicePath();
    void chooseSerial();
    void chooseTcp();
    void editTcpSettings();
    void pointLinkAtConnection();
    void readFromFile();
    void writeToFile();
    void loadStartUpFile(const std::string& commandLine);
    void warnOfDocumentErrors(const QString& path, const std::vector<DocumentError>& errors);
    void loadConnectionSettings();
    void saveConnectionSettingsAndClose(int result);
    void showAbout();
    void runDeviceOperation(OperationKind operation);
    void reportHistory(const RecordedResult& result);

    // What the device operations see of the window.
    ControlValues takeControlValues() override;
    void setStatusText(std::string_view text) override;
    void appendStatusText(std::string_view text) override;
    void setVersionText(std::string_view text) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressPosition(int position) override;
    void showMessage(std::string_view text, std::string_view detail) override;
    void pushValuesToControls() override;

    std::unique_ptr<Ui::MainWindow> m_ui;
    SettingsImage& m_workingImage;
    DeviceLink& m_link;
    SettingsFileChooser& m_fileChooser;
    TcpSettingsDialog m_tcpSettingsDialog;
    QButtonGroup* m_transportGroup;
    QAction* m_aboutAction;
    SettingsImage m_verificationImage;
    FirmwareVersion m_firmwareVersion;
    bool m_operationRunning = false;
    // The connection the window has chosen, as loaded and as the transport
    // radios, the TCP/IP settings and the port number have changed it.
    ConnectionSettings m_connection;

    // The values behind the controls, in data exchange order.
    int m_radioIndex = -1;
    QString m_versionText;
    bool m_setClock = true;
    bool m_resetAfterUpdate = true;
    QString m_statusText; // lines separated by "\r\n"
    bool m_resetCounters = false;
    bool m_eraseLog = false;
    int m_serialPortNumber = 0;
};

} // namespace telvor
