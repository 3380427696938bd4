#include "input_lock.h"

#include <QApplication>

namespace telvor {

InputLock::InputLock(QWidget& window)
    : m_window(window)
    , m_focus(QApplication::focusWidget())
    , m_contextMenuPolicy(window.contextMenuPolicy())
{
    // Every control that takes input can take the focus; labels, frames and
    // the progress bar cannot and stay as they are. Controls that are
    // disabled already stay disabled afterwards.
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() == &window && widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus) {
            m_disabled.emplace_back(widget);
            widget->setEnabled(false);
        }
    }
    // A context menu would run a loop of its own and stall the conversation.
    window.setContextMenuPolicy(Qt::PreventContextMenu);
}

InputLock::~InputLock()
{
    for (const QPointer<QWidget>& widget : m_disabled) {
        if (widget)
            widget->setEnabled(true);
    }
    m_window.setContextMenuPolicy(m_contextMenuPolicy);
    if (m_focus && m_focus->isEnabled())
        m_focus->setFocus();
}

} // namespace telvor
