// The TCP/IP settings dialog: the device's IP address and TCP port. One
// object lives for the whole run, so the values persist between openings;
// they change only when the user presses OK.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class TcpSettingsDialog;
}

namespace telvor {

struct TcpSettings {
    std::string ipAddress = "192.168.2.1"; // as typed, UTF-8 like the settings store
    int tcpPort = 23;
};

class TcpSettingsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit TcpSettingsDialog(QWidget* parent = nullptr);
    ~TcpSettingsDialog() override;

    const TcpSettings& settings() const { return m_settings; }
    void setSettings(const TcpSettings& settings) { m_settings = settings; }

    // Shows the dialog modally with the current values; true after OK.
    bool edit();

    // Puts the values into the edits, as each opening does.
    void showSettings();

public slots:
    void accept() override;

private:
    std::unique_ptr<Ui::TcpSettingsDialog> m_ui;
    TcpSettings m_settings;
};

} // namespace telvor
