// The "Basic settings" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/basic_settings.h"

#include <memory>

namespace Ui {
class BasicSettingsDialog;
}

namespace telvor {

class BasicSettingsDialog final : public EditorDialog {
public:
    BasicSettingsDialog(BasicSettings& settings, QWidget* parent);
    ~BasicSettingsDialog() override;

private:
    // Takes what has been typed so far, then shows the operator's SMS centre.
    void chooseSmsCentre(const SmsCentre& centre);

    std::unique_ptr<Ui::BasicSettingsDialog> m_ui;
    BasicSettings& m_settings;
};

// Edits the basic settings of the image; true after OK.
bool editBasicSettings(QWidget* parent, SettingsImage& image);

} // namespace telvor
