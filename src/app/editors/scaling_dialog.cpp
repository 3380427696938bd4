#include "scaling_dialog.h"

#include "ui_scaling.h"

namespace telvor {

ScalingDialog::ScalingDialog(Scaling& scaling, QWidget* parent)
    : EditorDialog(parent)
    , m_ui(std::make_unique<Ui::ScalingDialog>())
{
    m_ui->setupUi(this);
    // The boxes are named gain1 .. gain8 and offset1 .. offset8.
    for (std::size_t input = 0; input < scaling.gain.size(); ++input) {
        const auto box = [this, input](const char* factor) {
            return findChild<QLineEdit*>(QStringLiteral("%1%2").arg(factor).arg(input + 1));
        };
        exchange().number(box("gain"), scaling.gain[input], kMinScalingFactor, kMaxScalingFactor);
        exchange().number(box("offset"), scaling.offset[input], kMinScalingFactor, kMaxScalingFactor);
    }
    connectButtons(m_ui->buttons);
    exchange().fill();
}

ScalingDialog::~ScalingDialog() = default;

bool editScaling(QWidget* parent, SettingsImage& image)
{
    static Scaling scaling;
    return runEditor<ScalingDialog>(parent, image, scaling);
}

} // namespace telvor
