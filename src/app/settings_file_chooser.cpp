#include "settings_file_chooser.h"

#include <QFileDialog>

namespace telvor {

namespace {

// Case matters to Linux file names, so the filter names both spellings.
const QString kSettingsFileFilter = QStringLiteral("Pliki konfiguracji (*.TVR *.tvr)");

QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(kSettingsFileFilter);
    dialog.setDefaultSuffix(QStringLiteral("tvr"));
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
