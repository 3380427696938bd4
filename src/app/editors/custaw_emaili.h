// The "Settings of email notifications" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/email_notifications.h"
#include "window_values.h"

#include <memory>

namespace Ui {
class custaw_emaili;
}

namespace telvor {

class custaw_emaili final : public EditorDialog {
public:
    custaw_emaili(EmailNotifications& notifications, QWidget* parent);
    ~custaw_emaili() override;

private:
    std::unique_ptr<Ui::custaw_emaili> m_ui;
};

// Edits who gets the e-mail of each input and of the report, and the
// mailing of the log; true after OK. The window's values go in before and
// come back after, through `window`.
bool editEmailNotifications(QWidget* parent, SettingsImage& image, const WindowValues& window);

} // namespace telvor
