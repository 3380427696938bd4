#include "accessible_names.h"
#include "app/editors/internet_access_dialog.h"
#include "modal_answer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {
namespace {

// Records the main window's two calls and whether the editor was open
// in between.
struct WindowCalls {
    QStringList calls;
    WindowValues values{[this] { calls << "take"; }, [this] { calls << "put"; }};
};

} // namespace

class InternetAccessDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void everyControlIsNamedAndPasswordsShowAsTyped()
    {
        InternetAccess access;
        InternetAccessDialog dialog(access, nullptr);
        QCOMPARE(dialog.windowTitle(), "Internet access configuration");
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        for (const char* password : {"APN password", "SMTP password"})
            QCOMPARE(textBox(&dialog, password)->echoMode(), QLineEdit::Normal);
        auto* authorisation = controlNamed<QCheckBox>(&dialog, "WWW authorisation");
        QVERIFY(authorisation->isHidden());
        QVERIFY(!authorisation->isEnabled());
    }

    void textsAreLimitedOnlyWhereTheFieldSaysSo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("shown");
        QTest::newRow("APN name takes 40 characters") << "APN name" << 40 << 40;
        QTest::newRow("E-mail 5 takes 70 characters") << "E-mail 5" << 70 << 70;
        QTest::newRow("server address stops at 64") << "Server address" << 65 << 64;
        QTest::newRow("message stops at 128") << "Message" << 130 << 128;
    }

    void textsAreLimitedOnlyWhereTheFieldSaysSo()
    {
        QFETCH(QString, name);
        QFETCH(int, typed);
        QFETCH(int, shown);
        InternetAccess access;
        InternetAccessDialog dialog(access, nullptr);
        dialog.show();
        retype(&dialog, name, QString(typed, u'x'));
        QCOMPARE(textBox(&dialog, name)->text().size(), shown);
    }

    void okCutsLongTextsAndKeepsTheHiddenBit()
    {
        SettingsImage image;
        image.setU8(slot("MCFG2"), 0x04);
        WindowCalls window;
        whenModalOpens([&window](QWidget* dialog) {
            QCOMPARE(window.calls, QStringList{"take"});
            retype(dialog, "APN name", QString(32, u'a') + "bcdefghi");
            retype(dialog, "E-mail 2", QString(64, u'm') + "@x.pl");
            retype(dialog, "UID", "65535");
            retype(dialog, "Server address", QString(64, u's'));
            QTest::mouseClick(controlNamed<QCheckBox>(dialog, "Transmission only during waking hours"), Qt::LeftButton);
            pressOk(dialog);
        });
        QVERIFY(editInternetAccess(nullptr, image, window.values));
        QCOMPARE(window.calls, (QStringList{"take", "put"}));
        QCOMPARE(image.text(slot("APN", 0)), std::string(32, 'a'));
        QCOMPARE(image.text(slot("EAD", 2)), std::string(64, 'm'));
        QCOMPARE(image.text(slot("URL0")), std::string(64, 's'));
        QCOMPARE(image.u16(slot("NUID")), 0xFFFF);
        QCOMPARE(image.u8(slot("MCFG2")), 0x0C);
    }

    void refusalsNameTheLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("UID 65536") << "UID"
                                   << "65536"
                                   << "Please enter an integer between 0 and 65535.";
        QTest::newRow("transmit period 256") << "Transmit period, x 5 min"
                                             << "256"
                                             << "Please enter an integer between 0 and 255.";
        QTest::newRow("transmit period in letters") << "Transmit period, x 5 min"
                                                    << "often"
                                                    << "Please enter an integer.";
        QTest::newRow("server address of 65 characters")
            << "Server address" << QString(65, u'w') << "Please enter no more than 64 characters.";
    }

    // Each refusal, then Cancel: nothing reaches the image, and the window
    // still gets its values back.
    void refusalsNameTheLimit()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        SettingsImage image;
        image.bytes().fill(0xFF);
        const SettingsImage before = image;
        WindowCalls window;
        ModalBox shown;
        whenModalOpens([&](QWidget* dialog) {
            retype(dialog, "APN user", "internet");
            // A longer text than the box takes can only come from a file or
            // the device; the check on OK refuses it all the same.
            textBox(dialog, name)->setMaxLength(32767);
            textBox(dialog, name)->setText(typed);
            shown = answerModalBox([dialog] { pressOk(dialog); });
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->focusWidget(), textBox(dialog, name));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!editInternetAccess(nullptr, image, window.values));
        QCOMPARE(shown.text, message);
        QVERIFY(image == before);
        QCOMPARE(window.calls, (QStringList{"take", "put"}));
    }
};

} // namespace telvor

QTEST_MAIN(telvor::InternetAccessDialogTest)
#include "internet_access_dialog_test.moc"
