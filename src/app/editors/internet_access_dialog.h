// The "Internet access configuration" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/internet_access.h"
#include "window_values.h"

#include <memory>

namespace Ui {
class InternetAccessDialog;
}

namespace telvor {

class InternetAccessDialog final : public EditorDialog {
public:
    InternetAccessDialog(InternetAccess& access, QWidget* parent);
    ~InternetAccessDialog() override;

private:
    std::unique_ptr<Ui::InternetAccessDialog> m_ui;
};

// Edits the access point, mail server, e-mail addresses and HTTP
// transmission; true after OK. The window's values go in before and come
// back after, through `window`.
bool editInternetAccess(QWidget* parent, SettingsImage& image, const WindowValues& window);

} // namespace telvor
