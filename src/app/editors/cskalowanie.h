// The "Scaling factors (S) for analog measurements" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/scaling.h"

#include <memory>

namespace Ui {
class Cskalowanie;
}

namespace telvor {

class Cskalowanie final : public EditorDialog {
public:
    Cskalowanie(Scaling& scaling, QWidget* parent);
    ~Cskalowanie() override;

private:
    std::unique_ptr<Ui::Cskalowanie> m_ui;
};

// Edits the scaling factors A and B of the inputs L1 to L8; true after OK.
bool editScaling(QWidget* parent, SettingsImage& image);

} // namespace telvor
