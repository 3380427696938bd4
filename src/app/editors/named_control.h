// Controls of a Designer form found by object name, for forms whose rows of
// controls follow a naming pattern ("input3Sms7", "line12Body").
#pragma once

#include <QObject>
#include <QString>

namespace telvor {

// Every name an editor looks up is in its form; a missing one is a
// mistake in the form or the editor, caught here in debug builds.
template <class Control>
Control* namedControl(const QObject* form, const QString& name)
{
    auto* control = form->findChild<Control*>(name);
    Q_ASSERT_X(control != nullptr, "namedControl", qPrintable(name));
    return control;
}

} // namespace telvor
