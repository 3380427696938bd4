#include "settings_file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace telvor {

namespace {

// Case matters to Linux file names, so the filter names both spellings.
const QString kSettingsFileFilter = QStringLiteral("Pliki konfiguracji (*.TVR *.tvr)");
const QString kDocumentFilter = QStringLiteral("Settings documents (*.yaml *.yml)");

QString suffixOf(const QString& filter)
{
    return filter == kDocumentFilter ? QStringLiteral("yaml") : QStringLiteral("tvr");
}

QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters({kSettingsFileFilter, kDocumentFilter});
    // A name typed without an extension gets the chosen filter's.
    dialog.setDefaultSuffix(suffixOf(kSettingsFileFilter));
    QObject::connect(&dialog, &QFileDialog::filterSelected,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    // Started from the menu, the program runs in the read-only folder of the
    // factory defaults; a file is saved in the home folder then.
    if (mode == QFileDialog::AcceptSave && !QFileInfo(QDir::currentPath()).isWritable())
        dialog.setDirectory(QDir::home());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString chosen = dialog.selectedFiles().constFirst();
    // A platform dialog may leave the suffix to the program.
    if (mode == QFileDialog::AcceptSave && QFileInfo(chosen).suffix().isEmpty())
        chosen += QLatin1Char('.') + suffixOf(dialog.selectedNameFilter());
    return chosen;
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
