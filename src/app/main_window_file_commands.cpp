// The file commands and the start-up load: each copies the whole working
// image to or from a settings file, or a settings document, and reports the
// outcome as the status text.
#include "main_window.h"

#include "message_box.h"
#include "settings_file_chooser.h"

#include "document/document_file.h"
#include "image/settings_file.h"

#include <QFile>
#include <QFileInfo>

namespace telvor {

namespace {

// The errors a warning box lists; the rest are counted.
constexpr std::size_t kListedErrors = 10;

// File names are bytes in the file system's encoding, so is every status
// text that names a file.
std::string pathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString shownStatus(const SettingsFileResult& result)
{
    return QFile::decodeName(QByteArray::fromStdString(result.status));
}

QString errorList(const QString& fileName, const std::vector<DocumentError>& errors)
{
    const std::string source = pathBytes(fileName);
    QStringList lines;
    for (std::size_t index = 0; index < errors.size() && index < kListedErrors; ++index)
        lines << QString::fromStdString(errorLine(source, errors[index]));
    if (errors.size() > kListedErrors)
        lines << QStringLiteral("... and %1 more.").arg(errors.size() - kListedErrors);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void MainWindow::readFromFile()
{
    takeValuesFromControls();
    m_statusText.clear();
    const QString path = m_fileChooser.fileToRead(this);
    if (path.isEmpty()) {
        putValuesIntoControls();
        return;
    }
    const DocumentFileResult read = readSettingsOrDocument(pathBytes(path), m_workingImage);
    m_statusText = shownStatus(read.file);
    putValuesIntoControls();
    if (!read.errors.empty())
        warnOfDocumentErrors(path, read.errors);
}

void MainWindow::warnOfDocumentErrors(const QString& path, const std::vector<DocumentError>& errors)
{
    const QString fileName = QFileInfo(path).fileName();
    showWarning(this, QStringLiteral("The settings document %1 has errors; nothing was read from it.").arg(fileName),
                errorList(fileName, errors));
}

void MainWindow::writeToFile()
{
    takeValuesFromControls();
    m_statusText.clear();
    const QString path = m_fileChooser.fileToWrite(this);
    if (!path.isEmpty()) {
        const std::string name = withSettingsExtension(pathBytes(path));
        m_statusText = shownStatus(writeSettingsOrDocument(name, m_workingImage));
    }
    putValuesIntoControls();
}

void MainWindow::loadStartUpFile(const std::string& commandLine)
{
    const std::string name = startupFileName(commandLine);
    if (!isDocumentName(name)) {
        m_statusText = shownStatus(loadStartupSettings(commandLine, m_workingImage));
        return;
    }
    // A document named at start-up is read as "Read from file" reads one;
    // only the status keeps the start-up's wording.
    const DocumentFileResult read = readDocumentFile(name, m_workingImage);
    const std::string status = (read.file.ok ? "Default settings loaded from:\r\n" : "File open error:\r\n") + name;
    m_statusText = QFile::decodeName(QByteArray::fromStdString(status));
    if (!read.errors.empty())
        warnOfDocumentErrors(QFile::decodeName(QByteArray::fromStdString(name)), read.errors);
}

} // namespace telvor
