// The file commands and the start-up load: each copies the whole working
// image to or from a settings file and reports the outcome as the status text.
#include "main_window.h"

#include "settings_file_chooser.h"

#include "image/settings_file.h"

#include <QFile>

namespace telvor {

namespace {

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

} // namespace

void MainWindow::readFromFile()
{
    takeValuesFromControls();
    m_statusText.clear();
    const QString path = m_fileChooser.fileToRead(this);
    if (!path.isEmpty())
        m_statusText = shownStatus(readSettingsFile(pathBytes(path), m_workingImage));
    putValuesIntoControls();
}

void MainWindow::writeToFile()
{
    takeValuesFromControls();
    m_statusText.clear();
    const QString path = m_fileChooser.fileToWrite(this);
    if (!path.isEmpty())
        m_statusText = shownStatus(writeSettingsFile(withSettingsExtension(pathBytes(path)), m_workingImage));
    putValuesIntoControls();
}

void MainWindow::loadStartUpFile(const std::string& commandLine)
{
    m_statusText = shownStatus(loadStartupSettings(commandLine, m_workingImage));
}

} // namespace telvor
