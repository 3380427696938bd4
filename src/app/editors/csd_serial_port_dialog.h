// The "Konfiguracja portu szeregowego (CSD)" editor window, the only one
// in Polish.
#pragma once

#include "editor_dialog.h"
#include "editors/csd_serial_port.h"

#include <memory>

namespace Ui {
class CsdSerialPortDialog;
}

namespace telvor {

class CsdSerialPortDialog final : public EditorDialog {
public:
    CsdSerialPortDialog(CsdSerialPort& port, QWidget* parent);
    ~CsdSerialPortDialog() override;

private:
    std::unique_ptr<Ui::CsdSerialPortDialog> m_ui;
};

// Edits the serial port behind the CSD modem connection; true after OK.
bool editCsdSerialPort(QWidget* parent, SettingsImage& image);

} // namespace telvor
