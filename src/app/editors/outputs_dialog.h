// The "Configuration of the outputs " editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/outputs.h"

#include <memory>

namespace Ui {
class OutputsDialog;
}

namespace telvor {

class OutputsDialog final : public EditorDialog {
public:
    OutputsDialog(Outputs& outputs, QWidget* parent);
    ~OutputsDialog() override;

    // Both record in the editor how the window was closed: OK marks it
    // before the boxes are checked, Cancel, Escape and the close box clear
    // the mark.
    void accept() override;
    void reject() override;

private:
    // Takes what has been typed so far, lets the clicked mode push out the
    // other two of its output, and shows the result.
    void modeClicked(int thermostat, ThermostatMode mode);

    std::unique_ptr<Ui::OutputsDialog> m_ui;
    Outputs& m_outputs;
};

// Edits the modes of the outputs O1 to O6; true after OK.
bool editOutputs(QWidget* parent, SettingsImage& image);

} // namespace telvor
