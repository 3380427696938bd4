// The "Input settings" editor window: sensor types, thresholds, alarm
// edges, SMS recipients, options and delays of inputs L1 to L8.
#pragma once

#include "editor_dialog.h"
#include "editors/input_settings.h"

#include <memory>

class QCheckBox;

namespace Ui {
class InputSettingsDialog;
}

namespace telvor {

class InputSettingsDialog final : public EditorDialog {
public:
    InputSettingsDialog(InputSettings& settings, QWidget* parent);
    ~InputSettingsDialog() override;

private:
    // Every type box of every row: makes the box the row's only type and
    // shows the thresholds in its unit.
    void typeBoxClicked(int input, InputType type, QCheckBox* box);

    std::unique_ptr<Ui::InputSettingsDialog> m_ui;
    InputSettings& m_settings;
};

// Edits inputs L1 to L8 of the image; true after OK.
bool editInputs(QWidget* parent, SettingsImage& image);

} // namespace telvor
