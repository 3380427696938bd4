#include "modal_answerer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace telvor {

ModalAnswerer::ModalAnswerer(DialogAnswer dialogAnswer)
    : m_dialogAnswer(std::move(dialogAnswer))
{
    // Timers run inside the modal loops of the boxes, so polling finds them.
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answerActiveModal);
    m_timer.start(10);
}

void ModalAnswerer::answerActiveModal()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        m_messages.append(box->text());
        m_details.append(box->informativeText());
        box->accept();
        return;
    }
    if (!m_dialogAnswer || m_answering)
        return;
    // The answer runs from a timer of its own: a message box that it brings
    // up must find this polling timer free to answer it.
    m_answering = true;
    QTimer::singleShot(0, this, [this, answered = QPointer<QDialog>(dialog)] {
        if (answered && answered->isVisible()) {
            ++m_dialogsAnswered;
            m_dialogAnswer(*answered);
        }
        m_answering = false;
    });
}

} // namespace telvor
