#include "extended_lines_dialog.h"

#include "named_control.h"
#include "ui_extended_lines.h"
#include "variable_codes_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace telvor {

ExtendedLinesDialog::ExtendedLinesDialog(ExtendedLines& lines, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::ExtendedLinesDialog>())
    , m_lines(lines)
{
    m_ui->setupUi(this);
    const auto box = [this](const QString& name) { return namedControl<QCheckBox>(this, name); };
    const auto edit = [this](const QString& name) { return namedControl<QLineEdit>(this, name); };

    DataExchange& boxes = exchange();
    boxes.check(m_ui->expansionModule, lines.expansionModule);
    boxes.check(m_ui->energyCounter, lines.energyCounter);
    const std::array<QString, kLineGroupCount> groupNames = {QStringLiteral("groupXL1"), QStringLiteral("groupXL9")};
    for (int index = 0; index < kLineGroupCount; ++index) {
        LineGroup& group = lines.groups[index];
        const QString& prefix = groupNames[index];
        QCheckBox* temperature = box(prefix + QStringLiteral("Temperature"));
        QCheckBox* humidity = box(prefix + QStringLiteral("Humidity"));
        boxes.check(temperature, group.temperature);
        boxes.check(humidity, group.humidity);
        boxes.text(edit(prefix + QStringLiteral("LowThreshold")), group.lowThreshold);
        boxes.text(edit(prefix + QStringLiteral("HighThreshold")), group.highThreshold);
        connect(temperature, &QCheckBox::clicked, this,
                [this, index, temperature] { typeBoxClicked(index, LineSensor::Temperature, temperature); });
        connect(humidity, &QCheckBox::clicked, this,
                [this, index, humidity] { typeBoxClicked(index, LineSensor::Humidity, humidity); });

        // Bodies take any length here; packing cuts them to the field.
        for (int line = index * kLinesPerGroup + 1; line <= (index + 1) * kLinesPerGroup; ++line) {
            ExtendedLine& row = lines.lines[line - 1];
            const QString linePrefix = QStringLiteral("line%1").arg(line);
            boxes.check(box(linePrefix + QStringLiteral("HighToLow")), row.highToLow);
            boxes.check(box(linePrefix + QStringLiteral("LowToHigh")), row.lowToHigh);
            for (int number = 1; number <= kLineSmsCount; ++number)
                boxes.check(box(linePrefix + QStringLiteral("Sms%1").arg(number)), row.sms[number - 1]);
            boxes.text(edit(linePrefix + QStringLiteral("Body")), row.body);
        }
    }
    for (int number = 1; number <= kLineSmsCount; ++number)
        boxes.check(box(QStringLiteral("controlSms%1").arg(number)), lines.communicationControl.sms[number - 1]);
    boxes.text(m_ui->controlBody, lines.communicationControl.body);
    for (int address = 1; address <= kEmailAddressCount; ++address)
        boxes.check(box(QStringLiteral("email%1").arg(address)), lines.email[address - 1]);

    connect(m_ui->okButton, &QPushButton::clicked, this, &ExtendedLinesDialog::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &ExtendedLinesDialog::reject);
    connect(m_ui->codesButton, &QPushButton::clicked, this, [this] {
        VariableCodesDialog codes(this);
        codes.exec();
    });
    boxes.fill();
}

ExtendedLinesDialog::~ExtendedLinesDialog() = default;

void ExtendedLinesDialog::typeBoxClicked(int group, LineSensor sensor, QCheckBox* box)
{
    // Only a text with a character outside Windows-1250 can be refused; the
    // click is then undone so that the group's boxes, type code and texts
    // stay as they were.
    if (!exchange().read()) {
        box->setChecked(!box->isChecked());
        return;
    }
    m_lines.typeBoxClicked(group, sensor);
    exchange().fill();
}

bool editExtendedLines(QWidget* parent, SettingsImage& image)
{
    static ExtendedLines lines;
    return runEditor<ExtendedLinesDialog>(parent, image, lines);
}

} // namespace telvor
