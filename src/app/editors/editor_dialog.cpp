#include "editor_dialog.h"

#include <QDialogButtonBox>

namespace telvor {

EditorDialog::EditorDialog(QWidget* parent)
    : QDialog(parent)
    , m_exchange(this)
{
}

void EditorDialog::accept()
{
    if (m_exchange.read())
        QDialog::accept();
}

void EditorDialog::connectButtons(QDialogButtonBox* buttons)
{
    connect(buttons, &QDialogButtonBox::accepted, this, &EditorDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EditorDialog::reject);
}

} // namespace telvor
