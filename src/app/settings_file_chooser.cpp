#include "settings_file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace telvor {

namespace {

// Case matters to Linux file names, so the filter names both spellings.
const QString kSettingsFileFilter = QStringLiteral("Pliki konfiguracji (*.TVR *.tvr)");

QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(kSettingsFileFilter);
    dialog.setDefaultSuffix(QStringLiteral("tvr"));
    // Started from the menu, the program runs in the read-only folder of the
    // factory defaults; a file is saved in the home folder then.
    if (mode == QFileDialog::AcceptSave && !QFileInfo(QDir::currentPath()).isWritable())
        dialog.setDirectory(QDir::home());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString NativeSettingsFileChooser::fileToRead(QWidget* parent)
{
    return chooseFile(parent, QFileDialog::AcceptOpen);
}

QString NativeSettingsFileChooser::fileToWrite(QWidget* parent)
{
    return chooseFile(parent, QFileDialog::AcceptSave);
}

} // namespace telvor
