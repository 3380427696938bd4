// The "Configuration of the extended lines" editor window: the expansion
// module and energy meter support, the lines XL1 to XL16 with their group
// types and thresholds, the "Communication control" row and the e-mail
// recipients.
#pragma once

#include "editor_dialog.h"
#include "editors/extended_lines.h"

#include <memory>

class QCheckBox;

namespace Ui {
class ExtendedLinesDialog;
}

namespace telvor {

class ExtendedLinesDialog final : public EditorDialog {
public:
    ExtendedLinesDialog(ExtendedLines& lines, QWidget* parent);
    ~ExtendedLinesDialog() override;

private:
    // "T/D" and "RH" of both groups: makes the box the group's only type
    // and shows the group's thresholds in its unit.
    void typeBoxClicked(int group, LineSensor sensor, QCheckBox* box);

    std::unique_ptr<Ui::ExtendedLinesDialog> m_ui;
    ExtendedLines& m_lines;
};

// Edits the extended lines of the image; true after OK.
bool editExtendedLines(QWidget* parent, SettingsImage& image);

} // namespace telvor
