#include "internet_access_dialog.h"

#include "ui_internet_access.h"

namespace telvor {

InternetAccessDialog::InternetAccessDialog(InternetAccess& access, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::InternetAccessDialog>())
{
    m_ui->setupUi(this);
    DataExchange& boxes = exchange();
    // The passwords show as typed, like every other box here.
    const std::array<QLineEdit*, 7> accessTexts{
        m_ui->apnName,  m_ui->apnUser,      m_ui->apnPassword, m_ui->smtpServer,
        m_ui->smtpUser, m_ui->smtpPassword, m_ui->senderName,
    };
    const std::array<QLineEdit*, 6> emailAddresses{
        m_ui->senderAddress, m_ui->email1, m_ui->email2, m_ui->email3, m_ui->email4, m_ui->email5,
    };
    for (std::size_t n = 0; n < accessTexts.size(); ++n)
        boxes.text(accessTexts[n], access.accessTexts[n]);
    for (std::size_t n = 0; n < emailAddresses.size(); ++n)
        boxes.text(emailAddresses[n], access.emailAddresses[n]);
    boxes.number(m_ui->uid, access.uid, kMinUid, kMaxUid);
    boxes.number(m_ui->transmitPeriod, access.transmitPeriod, kMinTransmitPeriod, kMaxTransmitPeriod);
    boxes.text(m_ui->serverAddress, access.serverAddress, kServerAddressLimit);
    boxes.text(m_ui->message, access.message, kHttpMessageLimit);
    boxes.check(m_ui->onlyDuringWakingHours, access.onlyDuringWakingHours);
    boxes.check(m_ui->wwwAuthorisation, access.wwwAuthorisation);
    connectButtons(m_ui->buttons);
    boxes.fill();
}

InternetAccessDialog::~InternetAccessDialog() = default;

bool editInternetAccess(QWidget* parent, SettingsImage& image, const WindowValues& window)
{
    static InternetAccess access;
    return runEditorWithinWindowValues<InternetAccessDialog>(parent, image, access, window);
}

} // namespace telvor
