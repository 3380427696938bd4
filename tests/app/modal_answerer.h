// Answers the modal boxes and dialogs that a test provokes, so that no test
// ever waits on one: every message box that comes up is recorded and
// accepted, every other modal dialog is handed to the test's own answer.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QDialog;

namespace telvor {

class ModalAnswerer final : public QObject {
public:
    using DialogAnswer = std::function<void(QDialog& dialog)>;

    explicit ModalAnswerer(DialogAnswer dialogAnswer = {});

    // The main texts of the message boxes seen so far, in order.
    const QStringList& messages() const { return m_messages; }
    // Their informative texts, in the same order.
    const QStringList& details() const { return m_details; }
    int dialogsAnswered() const { return m_dialogsAnswered; }

private:
    void answerActiveModal();

    QTimer m_timer;
    DialogAnswer m_dialogAnswer;
    QStringList m_messages;
    QStringList m_details;
    int m_dialogsAnswered = 0;
    bool m_answering = false;
};

} // namespace telvor
