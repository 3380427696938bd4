// Drives the dialogs under test: finds their controls, types into them,
// presses OK, and answers the modal message boxes they open.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

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

// The control of a window with the given accessible name; the test stops
// when there is none, since every later step would only fail for that reason.
template <class Control>
Control* requiredControl(QWidget* window, const QString& accessibleName)
{
    Control* found = controlNamed<Control>(window, accessibleName);
    if (!found)
        qFatal("no control named %s", qPrintable(accessibleName));
    return found;
}

// The push button with the caption; the test stops when there is none.
inline QPushButton* requiredButton(QWidget* window, const QString& caption)
{
    for (QPushButton* found : window->findChildren<QPushButton*>()) {
        if (found->text().remove(u'&') == caption)
            return found;
    }
    qFatal("no button %s", qPrintable(caption));
}

// The text box with the accessible name; the test stops when there is none.
inline QLineEdit* textBox(QWidget* window, const QString& accessibleName)
{
    return requiredControl<QLineEdit>(window, accessibleName);
}

// The check box with the accessible name; the test stops when there is none.
inline QCheckBox* checkBox(QWidget* window, const QString& accessibleName)
{
    return requiredControl<QCheckBox>(window, accessibleName);
}

// Clears the text box with the accessible name and types `text` into it.
inline void retype(QWidget* window, const QString& accessibleName, const QString& text)
{
    QLineEdit* box = textBox(window, accessibleName);
    box->clear();
    QTest::keyClicks(box, text);
}

// Clicks the OK button of the dialog's button box.
inline void pressOk(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

} // namespace telvor
