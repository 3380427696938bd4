// The "SMS / email message body" editor window.
#pragma once

#include "editor_dialog.h"
#include "editors/message_bodies.h"

#include <memory>

namespace Ui {
class MessageBodiesDialog;
}

namespace telvor {

class MessageBodiesDialog final : public EditorDialog {
public:
    MessageBodiesDialog(MessageBodies& messages, QWidget* parent);
    ~MessageBodiesDialog() override;

private:
    void showVariableCodes();

    std::unique_ptr<Ui::MessageBodiesDialog> m_ui;
};

// Edits the ten message bodies; true after OK.
bool editMessageBodies(QWidget* parent, SettingsImage& image);

} // namespace telvor
