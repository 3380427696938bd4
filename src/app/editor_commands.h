// Which editor each button of the "Device settings" group opens. Adding an
// editor to the window is one row here.
#pragma once

#include "app/editors/authorization_dialog.h"
#include "app/editors/basic_settings_dialog.h"
#include "app/editors/message_bodies_dialog.h"

#include <array>

namespace telvor {

struct EditorCommand {
    const char* buttonName;      // the button's object name in the window's form
    bool (*run)(QWidget* parent, SettingsImage& workingImage); // true after OK
    bool exchangesWindowValues;  // takes the window's values in before, puts them back after
};

inline constexpr std::array kEditorCommands = {
    EditorCommand{"basicSettingsButton", editBasicSettings, false},
    EditorCommand{"authorizationButton", editAuthorization, false},
    EditorCommand{"smsMessagesButton", editMessageBodies, false},
};

} // namespace telvor
