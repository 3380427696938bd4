// "Check device version", "Read from device" and "Write to device": the
// window runs the device operations and is their status surface.
#include "main_window.h"

#include "input_lock.h"
#include "message_box.h"
#include "ui_main_window.h"

#include "frontend/windows_1250.h"
#include "link/device_link.h"

#include <QApplication>

namespace telvor {

void MainWindow::connectDeviceLink()
{
    // The link calls this at least every 50 ms while it waits, so the
    // window repaints and its progress bar moves. Input is processed too:
    // the input lock makes sure it reaches nothing.
    m_link.keepAlive = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    m_link.onWarning = [this](const std::string& warning) { showWarning(this, decodeWindows1250(warning)); };
}

void MainWindow::runDeviceOperation(OperationKind operation)
{
    if (m_operationRunning)
        return;
    const InputLock lock(*this);
    m_operationRunning = true;
    // Opened for each operation, so that a history that was out of reach
    // is used again once it can be.
    const OpenedHistory history = openHistory();
    const HistoryRecorder recorder{history.store.get(), history.unavailable, "window"};
    const bool backupFirst = operation == OperationKind::Write && m_connection.backupBeforeWrite;
    reportHistory(runRecorded(operation, {m_workingImage, m_verificationImage, m_firmwareVersion, m_link, *this},
                              recorder, backupFirst));
    m_operationRunning = false;
}

// The only lines the history adds to the status text: where the backup
// went, and why the history misses the operation.
void MainWindow::reportHistory(const RecordedResult& result)
{
    const bool backupSaved = result.backup == BackupState::Saved;
    if (!backupSaved && result.notRecorded.empty())
        return;
    if (backupSaved)
        m_statusText = QStringLiteral("Backup saved as history entry %1.\r\n").arg(result.entry) + m_statusText;
    if (!result.notRecorded.empty()) {
        if (!m_statusText.isEmpty())
            m_statusText += QStringLiteral("\r\n");
        m_statusText += QStringLiteral("History not recorded: ") + QString::fromStdString(result.notRecorded);
    }
    putValuesIntoControls();
}

// The port number the operation opens is the one in the edit now.
ControlValues MainWindow::takeControlValues()
{
    takeValuesFromControls();
    pointLinkAtConnection();
    ControlValues values;
    values.service.resetCounters = m_resetCounters;
    values.service.eraseLog = m_eraseLog;
    values.service.setClock = m_setClock;
    values.service.resetDevice = m_resetAfterUpdate;
    return values;
}

void MainWindow::setStatusText(std::string_view text)
{
    m_statusText = decodeWindows1250(text);
}

void MainWindow::appendStatusText(std::string_view text)
{
    m_statusText += decodeWindows1250(text);
}

void MainWindow::setVersionText(std::string_view text)
{
    m_versionText = decodeWindows1250(text);
}

void MainWindow::setProgressRange(int minimum, int maximum)
{
    m_ui->progressBar->setRange(minimum, maximum);
}

void MainWindow::setProgressPosition(int position)
{
    m_ui->progressBar->setValue(position);
    m_ui->progressBar->repaint();
}

void MainWindow::showMessage(std::string_view text, std::string_view detail)
{
    // The operations' texts are the device's Windows-1250; a detail names
    // device paths and the system's reasons, which are UTF-8.
    showWarning(this, decodeWindows1250(text), QString::fromUtf8(detail.data(), static_cast<qsizetype>(detail.size())));
}

void MainWindow::pushValuesToControls()
{
    putValuesIntoControls();
}

} // namespace telvor
