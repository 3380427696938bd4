// What the window tests share: a window with its own image, link and file
// dialogs, and lookup of its controls by their names in the form.
#pragma once

#include "scripted_file_chooser.h"

#include "app/main_window.h"
#include "image/settings_image.h"
#include "link/device_link.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <memory>

namespace telvor {

struct WindowUnderTest {
    SettingsImage image;
    DeviceLink link;
    ScriptedFileChooser fileChooser;
    MainWindow window{image, link, fileChooser};
};

template <typename Control>
Control& control(QWidget& window, const char* name)
{
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("the window has no control %s", name);
    return *found;
}

// The link's endpoint in words: "COM n", "serial device PATH" or
// "TCP HOST:PORT".
QString endpointText(const DeviceLink& link);

// A file of exactly these bytes.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// 3608 bytes that differ from offset to offset, so that a misplaced byte shows.
QByteArray patternImageBytes();

} // namespace telvor
