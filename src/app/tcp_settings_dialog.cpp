#include "tcp_settings_dialog.h"

#include "integer_text.h"
#include "message_box.h"
#include "ui_tcp_settings_dialog.h"

#include "frontend/windows_1250.h"

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
    // Address first, as it comes first in the dialog. It is not checked
    // beyond the character set; the device link converts it when it connects.
    const QString address = m_ui->ipAddressEdit->text();
    QString refused;
    if (!encodeWindows1250(address, &refused)) {
        showWarning(this,
                    tr("The character \"%1\" cannot be used: only characters of the "
                       "Windows-1250 character set can be stored.")
                        .arg(refused));
        m_ui->ipAddressEdit->setFocus();
        return;
    }
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
