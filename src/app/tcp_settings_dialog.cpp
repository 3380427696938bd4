#include "tcp_settings_dialog.h"

#include "integer_text.h"
#include "message_box.h"
#include "ui_tcp_settings_dialog.h"

#include <QPushButton>

namespace telvor {

TcpSettingsDialog::TcpSettingsDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TcpSettingsDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &TcpSettingsDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &TcpSettingsDialog::reject);
}

TcpSettingsDialog::~TcpSettingsDialog() = default;

void TcpSettingsDialog::showSettings()
{
    m_ui->ipAddressEdit->setText(QString::fromStdString(m_settings.ipAddress));
    m_ui->tcpPortEdit->setText(QString::number(m_settings.tcpPort));
    m_ui->ipAddressEdit->setFocus();
}

bool TcpSettingsDialog::edit()
{
    showSettings();
    return exec() == QDialog::Accepted;
}

void TcpSettingsDialog::accept()
{
    // The address is taken as typed, whatever its characters: it is stored
    // as UTF-8 and never sent to the device, and the device link makes of it
    // what it can when it connects.
    const QString address = m_ui->ipAddressEdit->text();
    const std::optional<int> port = integerFromText(m_ui->tcpPortEdit->text());
    if (!port) {
        showWarning(this, QStringLiteral("Please enter an integer."));
        m_ui->tcpPortEdit->setFocus();
        m_ui->tcpPortEdit->selectAll();
        return;
    }
    m_settings = {address.toStdString(), *port};
    QDialog::accept();
}

} // namespace telvor
