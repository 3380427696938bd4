// Moves values between an editor's members and its dialog's controls.
//
// How an editor uses it (see basic_settings_dialog.cpp for a full one):
//
// 1. The model, in src/editors/ without Qt, is a plain struct whose members
//    mirror the controls: std::string for a text box (Windows-1250 bytes),
//    int for a numeric box, int 0/1 for a check box, int index for a radio
//    group. It has unpack(SettingsImage&) and pack(SettingsImage&) const.
// 2. The dialog derives from EditorDialog (editor_dialog.h), takes the model
//    by reference, runs setupUi, then binds each control to its member with
//    exchange().text / number / check / radio, in the order in which OK
//    must read and validate them, calls connectButtons(button box) and last
//    exchange().fill().
// 3. OK reads the controls back in bind order. The first control that fails
//    shows a warning box ("Please enter an integer.", "Please enter an
//    integer between %1 and %2.", "Please enter no more than %1
//    characters.", or a refused character), gets the focus, and the dialog
//    stays open; members read before it keep their new values.
// 4. The function the main window calls is one line:
//        bool editFoo(QWidget* parent, SettingsImage& image)
//        {
//            static FooEditor editor;
//            return runEditor<FooDialog>(parent, image, editor);
//        }
//    It unpacks, runs the dialog modally and packs only after OK.
//
// A click handler that must see the typed values (an operator button, say)
// calls exchange().read(), changes members, then exchange().fill().
// Every bound control needs an accessible name that tells it apart within
// its dialog; a refused character is reported under that name.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace telvor {

class DataExchange final {
public:
    static constexpr int kNoLimit = -1;

    // `dialog` parents the warning boxes.
    explicit DataExchange(QWidget* dialog);

    // A text box. With a limit the box refuses typing beyond it; without one
    // the text is handed over whole and the model cuts it to its field.
    void text(QLineEdit* box, std::string& member, int limit = kNoLimit);
    // A numeric box: any typing, judged only on OK against minimum..maximum.
    void number(QLineEdit* box, int& member, int minimum, int maximum);
    // A check box: checked when the member is non-zero; reads back 0 or 1.
    void check(QAbstractButton* box, int& member);
    // A group of radio buttons: the member is the index of the checked one,
    // -1 when none is.
    void radio(const QList<QAbstractButton*>& buttons, int& member);

    // Sets every bound control from its member.
    void fill() const;
    // Reads the controls into their members in bind order. Stops at the
    // first refused control: shows the warning, moves the focus there and
    // returns false.
    bool read();

private:
    struct Binding {
        QWidget* control;
        std::function<void()> fill;
        // The message refusing the control, or an empty text once the
        // member holds the control's value.
        std::function<QString()> read;
    };

    QWidget* m_dialog;
    std::vector<Binding> m_bindings;
};

} // namespace telvor
