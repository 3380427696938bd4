// File dialogs that answer with the paths a test gives them.
#pragma once

#include "app/settings_file_chooser.h"

namespace telvor {

class ScriptedFileChooser final : public SettingsFileChooser {
public:
    QString fileToRead(QWidget*) override
    {
        ++readDialogs;
        return pathToRead;
    }
    QString fileToWrite(QWidget*) override
    {
        ++writeDialogs;
        return pathToWrite;
    }

    QString pathToRead; // empty: the user cancels
    QString pathToWrite;
    int readDialogs = 0;
    int writeDialogs = 0;
};

} // namespace telvor
