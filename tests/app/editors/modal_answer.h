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

} // namespace telvor
