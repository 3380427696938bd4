// The "Telephone number authorization" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/authorization.h"

#include <memory>

namespace Ui {
class AuthorizationDialog;
}

namespace telvor {

class AuthorizationDialog final : public EditorDialog {
public:
    AuthorizationDialog(Authorization& authorization, QWidget* parent);
    ~AuthorizationDialog() override;

private:
    std::unique_ptr<Ui::AuthorizationDialog> m_ui;
};

// Edits which telephone numbers may use which service; true after OK.
bool editAuthorization(QWidget* parent, SettingsImage& image);

} // namespace telvor
