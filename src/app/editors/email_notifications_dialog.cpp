#include "email_notifications_dialog.h"

#include "ui_email_notifications.h"

namespace telvor {

EmailNotificationsDialog::EmailNotificationsDialog(EmailNotifications& notifications, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::EmailNotificationsDialog>())
{
    m_ui->setupUi(this);
    DataExchange& boxes = exchange();
    // The grid's boxes are named after the row and the column:
    // input3Email2, reportEmail5, input8Jpg.
    const auto gridBox
        = [this](const QString& row, const QString& column) { return findChild<QCheckBox*>(row + column); };
    const auto inputRow = [](std::size_t input) { return QStringLiteral("input%1").arg(input + 1); };
    const auto emailColumn = [](int recipient) { return QStringLiteral("Email%1").arg(recipient + 1); };
    for (int recipient = 0; recipient < kEmailRecipientCount; ++recipient) {
        for (std::size_t input = 0; input < notifications.inputs.size(); ++input)
            boxes.check(gridBox(inputRow(input), emailColumn(recipient)),
                        notifications.inputs[input].recipients[recipient]);
    }
    boxes.number(m_ui->sendingHour, notifications.sendingHour, kMinSendingHour, kMaxSendingHour);
    boxes.check(m_ui->eraseLogAfterSending, notifications.eraseLogAfterSending);
    for (int recipient = 0; recipient < kEmailRecipientCount; ++recipient)
        boxes.check(gridBox(QStringLiteral("log"), emailColumn(recipient)), notifications.logRecipients[recipient]);
    for (int recipient = 0; recipient < kEmailRecipientCount; ++recipient)
        boxes.check(gridBox(QStringLiteral("report"), emailColumn(recipient)),
                    notifications.report.recipients[recipient]);
    boxes.check(m_ui->sendMeasurementRecords, notifications.sendMeasurementRecords);
    boxes.radio({m_ui->sendPeriod1, m_ui->sendPeriod2, m_ui->sendPeriod3, m_ui->sendPeriod7}, notifications.sendPeriod);
    boxes.check(m_ui->reportJpg, notifications.report.jpgPicture);
    for (std::size_t input = 0; input < notifications.inputs.size(); ++input)
        boxes.check(gridBox(inputRow(input), QStringLiteral("Jpg")), notifications.inputs[input].jpgPicture);
    connectButtons(m_ui->buttons);
    boxes.fill();
}

EmailNotificationsDialog::~EmailNotificationsDialog() = default;

bool editEmailNotifications(QWidget* parent, SettingsImage& image, const WindowValues& window)
{
    static EmailNotifications notifications;
    return runEditorWithinWindowValues<EmailNotificationsDialog>(parent, image, notifications, window);
}

} // namespace telvor
