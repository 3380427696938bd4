// Answers the modal message boxes that dialogs under test open.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace telvor {

struct ModalBox {
    bool shown = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
};

// Runs `action`; a message box it opens is read and closed with OK.
inline ModalBox answerModalBox(const std::function<void()>& action)
{
    ModalBox seen;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.shown = true;
        seen.icon = box->icon();
        seen.text = box->text();
        box->accept();
    });
    timer.start(0);
    action();
    return seen;
}

// Calls `drive` with the modal window that the code run next opens, once
// its event loop runs.
inline void whenModalOpens(const std::function<void(QWidget*)>& drive)
{
    QTimer::singleShot(0, qApp, [drive] { drive(QApplication::activeModalWidget()); });
}

// The control of a window with the given accessible name, or null.
template <class Control>
Control* controlNamed(QWidget* window, const QString& accessibleName)
{
    for (Control* control : window->findChildren<Control*>()) {
        if (control->accessibleName() == accessibleName)
            return control;
    }
    return nullptr;
}

} // namespace telvor
