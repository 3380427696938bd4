// Where the file commands ask the user for a settings file. The window uses
// the platform's file dialogs; tests put their own answers in.
#pragma once

#include <QString>

class QWidget;

namespace telvor {

class SettingsFileChooser {
public:
    virtual ~SettingsFileChooser() = default;

    // The chosen path, or empty when the user cancelled.
    virtual QString fileToRead(QWidget* parent) = 0;
    virtual QString fileToWrite(QWidget* parent) = 0;
};

// Open and save dialogs for *.tvr files and, after them, settings documents
// (*.yaml, *.yml): both spellings of the .tvr extension match, a name typed
// without an extension gets the chosen filter's (".tvr" or ".yaml"), no name
// is proposed, and saving over an existing file asks first. Saving starts in
// the home folder when the current one cannot be written to.
class NativeSettingsFileChooser final : public SettingsFileChooser {
public:
    QString fileToRead(QWidget* parent) override;
    QString fileToWrite(QWidget* parent) override;
};

} // namespace telvor
