// The "Scaling factors (S) for analog measurements" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/scaling.h"

#include <memory>

namespace Ui {
class ScalingDialog;
}

namespace telvor {

class ScalingDialog final : public EditorDialog {
public:
    ScalingDialog(Scaling& scaling, QWidget* parent);
    ~ScalingDialog() override;

private:
    std::unique_ptr<Ui::ScalingDialog> m_ui;
};

// Edits the scaling factors A and B of the inputs L1 to L8; true after OK.
bool editScaling(QWidget* parent, SettingsImage& image);

} // namespace telvor
