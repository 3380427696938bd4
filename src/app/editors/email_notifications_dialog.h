// The "Settings of email notifications" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/email_notifications.h"
#include "window_values.h"

#include <memory>

namespace Ui {
class EmailNotificationsDialog;
}

namespace telvor {

class EmailNotificationsDialog final : public EditorDialog {
public:
    EmailNotificationsDialog(EmailNotifications& notifications, QWidget* parent);
    ~EmailNotificationsDialog() override;

private:
    std::unique_ptr<Ui::EmailNotificationsDialog> m_ui;
};

// Edits who gets the e-mail of each input and of the report, and the
// mailing of the log; true after OK. The window's values go in before and
// come back after, through `window`.
bool editEmailNotifications(QWidget* parent, SettingsImage& image, const WindowValues& window);

} // namespace telvor
