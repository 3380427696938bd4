// The life cycle every editor shares: unpack the image into the editor's
// members, run the dialog modally, pack the members back only after OK.
// Cancel, Escape and the close box leave the image as the unpack left it.
#pragma once

#include "data_exchange.h"
#include "image/settings_image.h"

#include <QDialog>

class QDialogButtonBox;

namespace telvor {

class EditorDialog : public QDialog {
public:
    explicit EditorDialog(QWidget* parent);

    // Closes with OK only when every bound control passes its check.
    void accept() override;

protected:
    DataExchange& exchange() { return m_exchange; }
    // OK accepts, Cancel rejects.
    void connectButtons(QDialogButtonBox* buttons);

private:
    DataExchange m_exchange;
};

// Opens an editor over the image: `Dialog` is built as Dialog(editor,
// parent). True when the user pressed OK and the image took the values.
template <class Dialog, class Editor>
bool runEditor(QWidget* parent, SettingsImage& image, Editor& editor)
{
    editor.unpack(image);
    Dialog dialog(editor, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    editor.pack(image);
    return true;
}

} // namespace telvor
