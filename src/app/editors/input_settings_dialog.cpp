#include "input_settings_dialog.h"

#include "named_control.h"
#include "ui_input_settings.h"

#include <QCheckBox>
#include <QLineEdit>

namespace telvor {
namespace {

// The insensitivity is a byte of millivolts.
constexpr int kLargestInsensitivity = 255;

// The option boxes R, N, C, F in the order of their columns.
constexpr std::array<std::pair<const char*, int InputRow::*>, 4> kOptionBoxes = {{
    {"Ring", &InputRow::ring},
    {"NotifyReturn", &InputRow::notifyReturn},
    {"WakingHoursOnly", &InputRow::wakingHoursOnly},
    {"LimitFrequency", &InputRow::limitFrequency},
}};

} // namespace

InputSettingsDialog::InputSettingsDialog(InputSettings& settings, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::InputSettingsDialog>())
    , m_settings(settings)
{
    m_ui->setupUi(this);
    const auto box = [this](const QString& name) { return namedControl<QCheckBox>(this, name); };
    const auto edit = [this](const QString& name) { return namedControl<QLineEdit>(this, name); };

    DataExchange& boxes = exchange();
    // The insensitivities are the only boxes that can be refused; they are
    // read first, so a refusal leaves every other member as it was.
    boxes.number(m_ui->insensitivityL1toL4, settings.insensitivityL1toL4, 0, kLargestInsensitivity);
    boxes.number(m_ui->insensitivityL5toL8, settings.insensitivityL5toL8, 0, kLargestInsensitivity);
    for (int input = 1; input <= kInputCount; ++input) {
        InputRow& row = settings.inputs[input - 1];
        const QString prefix = QStringLiteral("input%1").arg(input);
        for (const InputType type : kInputTypes) {
            if (!inputHasTypeBox(input, type))
                continue;
            const QString caption = QString::fromLatin1(inputTypeCaption(type));
            QCheckBox* typeBox = box(prefix + QStringLiteral("Type") + caption);
            boxes.check(typeBox, row.type(type));
            connect(typeBox, &QCheckBox::clicked, this,
                    [this, input, type, typeBox] { typeBoxClicked(input, type, typeBox); });
        }
        boxes.check(box(prefix + QStringLiteral("HighToLow")), row.highToLow);
        boxes.text(edit(prefix + QStringLiteral("LowThreshold")), row.lowThreshold);
        boxes.check(box(prefix + QStringLiteral("LowToHigh")), row.lowToHigh);
        boxes.text(edit(prefix + QStringLiteral("HighThreshold")), row.highThreshold);
        for (int number = 1; number <= kTelephoneCount; ++number)
            boxes.check(box(prefix + QStringLiteral("Sms%1").arg(number)), row.sms[number - 1]);
        for (const auto& [name, member] : kOptionBoxes)
            boxes.check(box(prefix + QString::fromLatin1(name)), row.*member);
        boxes.text(edit(prefix + QStringLiteral("Delay")), row.delay);
    }
    for (int column = 1; column <= kInputCount; ++column) {
        boxes.check(box(QStringLiteral("highState%1").arg(column)), settings.highStateAlarm[column - 1]);
        boxes.check(box(QStringLiteral("lowState%1").arg(column)), settings.lowStateAlarm[column - 1]);
    }
    connectButtons(m_ui->buttonBox);
    boxes.fill();
}

InputSettingsDialog::~InputSettingsDialog() = default;

void InputSettingsDialog::typeBoxClicked(int input, InputType type, QCheckBox* box)
{
    // A refused insensitivity has shown its message and stopped the read
    // before any type box or threshold was taken. The click is undone, so
    // the row keeps the boxes, unit and texts it had; the user corrects the
    // insensitivity and clicks again.
    if (!exchange().read()) {
        box->setChecked(!box->isChecked());
        return;
    }
    m_settings.typeBoxClicked(input, type);
    exchange().fill();
}

bool editInputs(QWidget* parent, SettingsImage& image)
{
    static InputSettings settings;
    return runEditor<InputSettingsDialog>(parent, image, settings);
}

} // namespace telvor
