#include "csd_serial_port_dialog.h"

#include "ui_csd_serial_port.h"

#include <QPushButton>

namespace telvor {

CsdSerialPortDialog::CsdSerialPortDialog(CsdSerialPort& port, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::CsdSerialPortDialog>())
{
    m_ui->setupUi(this);
    m_ui->buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Wprowadź"));
    m_ui->buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    DataExchange& groups = exchange();
    groups.radio({m_ui->interface0, m_ui->interface1}, port.interface);
    groups.radio({m_ui->stopBits0, m_ui->stopBits1}, port.stopBits);
    groups.radio({m_ui->characterSize0, m_ui->characterSize1}, port.characterSize);
    groups.radio({m_ui->speed0, m_ui->speed1, m_ui->speed2, m_ui->speed3, m_ui->speed4, m_ui->speed5}, port.speed);
    groups.radio({m_ui->parity0, m_ui->parity1, m_ui->parity2}, port.parity);
    connectButtons(m_ui->buttons);
    groups.fill();
}

CsdSerialPortDialog::~CsdSerialPortDialog() = default;

bool editCsdSerialPort(QWidget* parent, SettingsImage& image)
{
    static CsdSerialPort port;
    return runEditor<CsdSerialPortDialog>(parent, image, port);
}

} // namespace telvor
