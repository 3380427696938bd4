// Which editor each button of the "Device settings" group opens. Adding an
// editor to the window is one row here.
#pragma once

#include "app/editors/authorization_dialog.h"
#include "app/editors/basic_settings_dialog.h"
#include "app/editors/csd_serial_port_dialog.h"
#include "app/editors/email_notifications_dialog.h"
#include "app/editors/extended_lines_dialog.h"
#include "app/editors/input_settings_dialog.h"
#include "app/editors/internet_access_dialog.h"
#include "app/editors/message_bodies_dialog.h"
#include "app/editors/outputs_dialog.h"
#include "app/editors/scaling_dialog.h"
#include "app/editors/window_values.h"

#include <array>

namespace telvor {

// Opens one editor over the working image; true after OK. The window's
// values are there for the editors that take them in before and put them
// back after.
using EditorFunction = bool (*)(QWidget* parent, SettingsImage& workingImage, const WindowValues& window);

// Most editors have no use for the window's values.
template <bool (*edit)(QWidget*, SettingsImage&)>
bool withoutWindowValues(QWidget* parent, SettingsImage& workingImage, const WindowValues&)
{
    return edit(parent, workingImage);
}

struct EditorCommand {
    const char* buttonName; // the button's object name in the window's form
    EditorFunction run;
};

inline constexpr std::array kEditorCommands = {
    EditorCommand{"basicSettingsButton", withoutWindowValues<editBasicSettings>},
    EditorCommand{"authorizationButton", withoutWindowValues<editAuthorization>},
    EditorCommand{"inputsButton", withoutWindowValues<editInputs>},
    EditorCommand{"smsMessagesButton", withoutWindowValues<editMessageBodies>},
    EditorCommand{"outputsButton", withoutWindowValues<editOutputs>},
    EditorCommand{"scaledMeasurementsButton", withoutWindowValues<editScaling>},
    EditorCommand{"csdButton", withoutWindowValues<editCsdSerialPort>},
    EditorCommand{"internetAccessButton", editInternetAccess},
    EditorCommand{"emailMessagesButton", editEmailNotifications},
    EditorCommand{"extendedInputsButton", withoutWindowValues<editExtendedLines>},
};

} // namespace telvor
