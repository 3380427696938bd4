#include "basic_settings_dialog.h"

#include "ui_basic_settings.h"

namespace telvor {

BasicSettingsDialog::BasicSettingsDialog(BasicSettings& settings, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::BasicSettingsDialog>())
    , m_settings(settings)
{
    m_ui->setupUi(this);
    const std::array<QLineEdit*, 10> numbers{
        m_ui->number1, m_ui->number2, m_ui->number3, m_ui->number4, m_ui->number5,
        m_ui->number6, m_ui->number7, m_ui->number8, m_ui->number9, m_ui->number10,
    };
    DataExchange& boxes = exchange();
    for (int number = 0; number < 5; ++number)
        boxes.text(numbers[number], settings.numbers[number], kNumberWidth);
    boxes.text(m_ui->pin, settings.pin, kPinWidth);
    boxes.check(m_ui->periodicalReport, settings.periodicalReport);
    boxes.text(m_ui->smsc, settings.smsc, kNumberWidth);
    boxes.number(m_ui->reportPeriod, settings.reportPeriodMinutes, 0, 65535);
    boxes.check(m_ui->pinActive, settings.pinActive);
    boxes.text(m_ui->reportHours, settings.reportHours);
    boxes.check(m_ui->reportOnlyInAlarmState, settings.reportOnlyInAlarmState);
    boxes.check(m_ui->smsLimitActive, settings.smsLimitActive);
    boxes.number(m_ui->smsPerDay, settings.smsPerDay, 0, 255);
    boxes.text(m_ui->wakingHours, settings.wakingHours);
    boxes.number(m_ui->loggingPeriod, settings.loggingPeriodMinutes, 0, 255);
    boxes.check(m_ui->acknowledges, settings.acknowledges);
    boxes.check(m_ui->lcdSupport, settings.lcdSupport);
    for (int number = 5; number < 10; ++number)
        boxes.text(numbers[number], settings.numbers[number], kNumberWidth);
    boxes.check(m_ui->loggingOnlyInWakingHours, settings.loggingOnlyInWakingHours);
    boxes.text(m_ui->balanceCheckCode, settings.balanceCheckCode, kBalanceCheckCodeLength);
    boxes.number(m_ui->balanceCheckHour, settings.balanceCheckHour, 0, 255);
    boxes.check(m_ui->loggingFasterInAlarmState, settings.loggingFasterInAlarmState);
    boxes.number(m_ui->networkCode, settings.networkCode, 0, 65535);
    for (int row = 0; row < 3; ++row) {
        for (int day = 0; day < 8; ++day) {
            auto* box = findChild<QCheckBox*>(QStringLiteral("dayBox%1%2").arg(row + 1).arg(day));
            boxes.check(box, settings.days[row][day]);
        }
    }
    boxes.check(m_ui->reportAfterC1Change, settings.reportAfterC1Change);

    const std::array<QPushButton*, kSmsCentres.size()> operatorButtons{m_ui->tMobileButton, m_ui->orangeButton,
                                                                       m_ui->plusButton, m_ui->playButton};
    for (std::size_t index = 0; index < kSmsCentres.size(); ++index) {
        const SmsCentre& centre = kSmsCentres[index];
        connect(operatorButtons[index], &QPushButton::clicked, this, [this, &centre] { chooseSmsCentre(centre); });
    }
    connectButtons(m_ui->buttons);
    boxes.fill();
}

BasicSettingsDialog::~BasicSettingsDialog() = default;

void BasicSettingsDialog::chooseSmsCentre(const SmsCentre& centre)
{
    // A refused box has shown its message; the operator's number is filled
    // in all the same, over whatever was read before the refusal.
    exchange().read();
    m_settings.smsc = centre.number;
    exchange().fill();
}

bool editBasicSettings(QWidget* parent, SettingsImage& image)
{
    static BasicSettings settings;
    return runEditor<BasicSettingsDialog>(parent, image, settings);
}

} // namespace telvor
