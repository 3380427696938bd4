#include "outputs_dialog.h"

#include "ui_outputs.h"

namespace telvor {

OutputsDialog::OutputsDialog(Outputs& outputs, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::OutputsDialog>())
    , m_outputs(outputs)
{
    m_ui->setupUi(this);
    DataExchange& boxes = exchange();
    const std::array<QCheckBox*, kOutputCount> permanent{
        m_ui->permanentO1, m_ui->permanentO2, m_ui->permanentO3,
        m_ui->permanentO4, m_ui->permanentO5, m_ui->permanentO6,
    };
    for (int output = 0; output < kOutputCount; ++output)
        boxes.check(permanent[output], outputs.permanent[output]);
    // Inputs L1, L2 and L5: their thermostat outputs O1, O3, O5 and their
    // high-state outputs O2, O4, O6.
    const std::array<QCheckBox*, 3> lowSignalling{m_ui->lowSignallingL1, m_ui->lowSignallingL2, m_ui->lowSignallingL5};
    const std::array<QCheckBox*, 3> highSignalling{m_ui->highSignallingL1, m_ui->highSignallingL2,
                                                   m_ui->highSignallingL5};
    const std::array<QCheckBox*, 3> heating{m_ui->heatingL1, m_ui->heatingL2, m_ui->heatingL5};
    const std::array<QCheckBox*, 3> cooling{m_ui->coolingL1, m_ui->coolingL2, m_ui->coolingL5};
    for (int input = 0; input < 3; ++input) {
        boxes.check(lowSignalling[input], outputs.thermostats[input].lowSignalling);
        boxes.check(highSignalling[input], outputs.highSignalling[input]);
    }
    for (int input = 0; input < 3; ++input)
        boxes.check(heating[input], outputs.thermostats[input].heating);
    for (int input = 0; input < 3; ++input)
        boxes.check(cooling[input], outputs.thermostats[input].cooling);
    boxes.check(m_ui->alarmStateO6, outputs.alarmStateOnO6);
    boxes.check(m_ui->wakingHoursO4, outputs.wakingHoursOnO4);
    boxes.number(m_ui->signallingTime, outputs.signallingTime, kMinSignallingTime, kMaxSignallingTime);
    boxes.check(m_ui->buzzer, outputs.buzzer);

    for (int input = 0; input < 3; ++input) {
        const auto onClick
            = [this, input](ThermostatMode mode) { return [this, input, mode] { modeClicked(input, mode); }; };
        connect(lowSignalling[input], &QCheckBox::clicked, this, onClick(ThermostatMode::LowSignalling));
        connect(heating[input], &QCheckBox::clicked, this, onClick(ThermostatMode::Heating));
        connect(cooling[input], &QCheckBox::clicked, this, onClick(ThermostatMode::Cooling));
    }
    connectButtons(m_ui->buttons);
    boxes.fill();
}

OutputsDialog::~OutputsDialog() = default;

void OutputsDialog::accept()
{
    // A refused box keeps the window open with the mark set until Cancel.
    m_outputs.closedWithOk = 1;
    EditorDialog::accept();
}

void OutputsDialog::reject()
{
    m_outputs.closedWithOk = 0;
    EditorDialog::reject();
}

void OutputsDialog::modeClicked(int thermostat, ThermostatMode mode)
{
    // A refused box has shown its message; the click counts all the same.
    exchange().read();
    m_outputs.modeClicked(thermostat, mode);
    exchange().fill();
}

bool editOutputs(QWidget* parent, SettingsImage& image)
{
    static Outputs outputs;
    return runEditor<OutputsDialog>(parent, image, outputs);
}

} // namespace telvor
