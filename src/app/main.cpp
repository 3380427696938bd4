// telvor-config: the window program. The text after the program's name
// names the settings file loaded at start.
#include "main_window.h"
#include "settings_file_chooser.h"

#include "image/settings_image.h"
#include "link/device_link.h"

#include <QApplication>

#include <string>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The connection settings store is found by these two names.
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
    QApplication::setApplicationVersion(QStringLiteral(TELVOR_VERSION));
    // Desktops find the menu entry, and with it the icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral(TELVOR_APP_ID));

    // The shell has split the command line into words; joined again with
    // blanks they give the text after the program's name (QApplication has
    // taken out its own options).
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }

    static telvor::SettingsImage workingImage;
    static telvor::DeviceLink link;
    static telvor::NativeSettingsFileChooser fileChooser;
    telvor::MainWindow window(workingImage, link, fileChooser);
    window.initialise(commandLine);
    window.exec();
    return 0;
}
