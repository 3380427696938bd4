// The main window's own values around an editor's run. The internet access
// and the e-mail notifications editors have the window take its controls'
// values in before they open and put them back after they close, whichever
// way they closed; the window says how through these two calls.
#pragma once

#include "editor_dialog.h"

#include <functional>

namespace telvor {

struct WindowValues {
    std::function<void()> takeFromControls;
    std::function<void()> putIntoControls;
};

// runEditor between the window's two calls.
template <class Dialog, class Editor>
bool runEditorWithinWindowValues(QWidget* parent, SettingsImage& image, Editor& editor, const WindowValues& window)
{
    window.takeFromControls();
    const bool accepted = runEditor<Dialog>(parent, image, editor);
    window.putIntoControls();
    return accepted;
}

} // namespace telvor
