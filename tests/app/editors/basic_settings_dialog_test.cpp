#include "accessible_names.h"
#include "app/editors/basic_settings_dialog.h"
#include "modal_answer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {
namespace {

SettingsImage sampleImage()
{
    SettingsImage image;
    const std::string pin = "1234";
    std::copy(pin.begin(), pin.end(), image.bytesOf(slot("PIN")).begin());
    const std::string smsc = "+48501200777";
    std::copy(smsc.begin(), smsc.end(), image.bytesOf(slot("NUM", 0)).begin());
    image.setU16(slot("TRPT"), 60);
    image.setU8(slot("MCFG1"), 0x03);
    image.setU8(slot("SLIM"), 20);
    image.setU16(slot("COPS"), 0xFFFF);
    return image;
}

} // namespace

class BasicSettingsDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheImagesValues()
    {
        SettingsImage image = sampleImage();
        BasicSettings settings;
        settings.unpack(image);
        BasicSettingsDialog dialog(settings, nullptr);
        QCOMPARE(dialog.windowTitle(), "Basic settings");
        QCOMPARE(textBox(&dialog, "PIN")->text(), "1234");
        QCOMPARE(textBox(&dialog, "SMSC")->text(), "+48501200777");
        QCOMPARE(textBox(&dialog, "Periodical report, minutes")->text(), "60");
        QCOMPARE(textBox(&dialog, "Network code")->text(), "0");
        QVERIFY(checkBox(&dialog, "Periodical report, send every")->isChecked());
        QCheckBox* pinActive = checkBox(&dialog, "PIN active");
        QVERIFY(pinActive->isChecked());
        QVERIFY(!pinActive->isEnabled());
        dialog.show();
        QVERIFY(!pinActive->isVisible());
        QCOMPARE(textBox(&dialog, "PIN")->maxLength(), 8);
        QCOMPARE(textBox(&dialog, "Num 10")->maxLength(), 16);
        QCOMPARE(textBox(&dialog, "Account balance check code")->maxLength(), 8);
    }

    void everyControlHasItsOwnName()
    {
        BasicSettings settings;
        BasicSettingsDialog dialog(settings, nullptr);
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
    }

    void outOfRangeValueKeepsTheDialogOpen_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("report period 65536") << "Periodical report, minutes"
                                             << "65536"
                                             << "Please enter an integer between 0 and 65535.";
        QTest::newRow("messages per day 256") << "Messages per day"
                                              << "256"
                                              << "Please enter an integer between 0 and 255.";
        QTest::newRow("logging period -1") << "Period of measurements logging"
                                           << "-1"
                                           << "Please enter an integer between 0 and 255.";
        QTest::newRow("network code 65536") << "Network code"
                                            << "65536"
                                            << "Please enter an integer between 0 and 65535.";
        QTest::newRow("check hour not a number") << "Balance check hour"
                                                 << "at 9"
                                                 << "Please enter an integer.";
    }

    void outOfRangeValueKeepsTheDialogOpen()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        SettingsImage image = sampleImage();
        BasicSettings settings;
        settings.unpack(image);
        BasicSettingsDialog dialog(settings, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        textBox(&dialog, "PIN")->setText("4321");
        textBox(&dialog, boxName)->setText(typed);
        const ModalBox shown = answerModalBox([&] { pressOk(&dialog); });
        QVERIFY(shown.shown);
        QCOMPARE(shown.icon, QMessageBox::Warning);
        QCOMPARE(shown.text, message);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), textBox(&dialog, boxName));
        // The PIN is read before every numeric box.
        QCOMPARE(settings.pin, "4321");
    }

    void plusKeepsTheTypedPinAndCancelLeavesTheImage()
    {
        SettingsImage image = sampleImage();
        SettingsImage expected = image;
        expected.setU16(slot("COPS"), 0);
        QString smscShown;
        QString pinShown;
        whenModalOpens([&](QWidget* dialog) {
            textBox(dialog, "PIN")->clear();
            QTest::keyClicks(textBox(dialog, "PIN"), "9876");
            QTest::keyClicks(textBox(dialog, "Num 3"), "600700800");
            QTest::mouseClick(requiredButton(dialog, "Plus"), Qt::LeftButton);
            smscShown = textBox(dialog, "SMSC")->text();
            pinShown = textBox(dialog, "PIN")->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!editBasicSettings(nullptr, image));
        QCOMPARE(smscShown, "+48601000310");
        QCOMPARE(pinShown, "9876");
        QVERIFY(image == expected);
    }

    void operatorButtonGoesOnAfterARefusal()
    {
        SettingsImage image = sampleImage();
        BasicSettings settings;
        settings.unpack(image);
        BasicSettingsDialog dialog(settings, nullptr);
        dialog.show();
        textBox(&dialog, "PIN")->setText("1111");
        textBox(&dialog, "Periodical report, minutes")->setText("x");
        textBox(&dialog, "Messages per day")->setText("7");
        const ModalBox shown
            = answerModalBox([&] { QTest::mouseClick(requiredButton(&dialog, "T-Mobile"), Qt::LeftButton); });
        QCOMPARE(shown.text, "Please enter an integer.");
        QCOMPARE(textBox(&dialog, "SMSC")->text(), "+48602951111");
        QCOMPARE(textBox(&dialog, "PIN")->text(), "1111");
        // Boxes from the refused one on show their members again.
        QCOMPARE(textBox(&dialog, "Periodical report, minutes")->text(), "60");
        QCOMPARE(textBox(&dialog, "Messages per day")->text(), "20");
        QVERIFY(dialog.isVisible());
    }

    void okStoresWhatWasTyped()
    {
        SettingsImage image = sampleImage();
        whenModalOpens([](QWidget* dialog) {
            textBox(dialog, "Num 10")->setText("+48600100200");
            textBox(dialog, "Periodical report, minutes")->setText("65535");
            textBox(dialog, "Send report on hours")->setText("24, 7;20");
            textBox(dialog, "Account balance check code")->setText("*101*12#");
            checkBox(dialog, "Periodical report, Mo")->setChecked(true);
            checkBox(dialog, "Periodical report, D-o")->setChecked(true);
            checkBox(dialog, "Support for LCD, active")->setChecked(true);
            pressOk(dialog);
        });
        QVERIFY(editBasicSettings(nullptr, image));
        QCOMPARE(image.text(slot("NUM", 10)), "+48600100200");
        QCOMPARE(image.u16(slot("TRPT")), 65535);
        QCOMPARE(image.bytes()[slot("RPTHR").offset], 0x81);
        QCOMPARE(image.bytes()[slot("RPTHR").offset + 2], 0x10);
        QCOMPARE(image.text(slot("URL2")), "*101*1");
        QCOMPARE(image.u8(slot("URL2", Field::kNotIndexed, 7)), '2');
        QCOMPARE(image.u8(slot("URL2", Field::kNotIndexed, 8)), '#');
        QCOMPARE(image.u8(slot("WKD", 3)), 0x81);
        QCOMPARE(image.u8(slot("MCFG1")), 0x23);
    }

    void characterWindows1250LacksIsRefused()
    {
        SettingsImage image = sampleImage();
        BasicSettings settings;
        settings.unpack(image);
        BasicSettingsDialog dialog(settings, nullptr);
        dialog.show();
        textBox(&dialog, "Num 2")->setText(QString::fromUtf8("+48 №5"));
        const ModalBox shown = answerModalBox([&] { dialog.accept(); });
        QCOMPARE(shown.text,
                 QString::fromUtf8("The box \"Num 2\" holds the character \"№\", which "
                                   "the device cannot store. Please replace or remove it."));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), textBox(&dialog, "Num 2"));
    }
};

} // namespace telvor

QTEST_MAIN(telvor::BasicSettingsDialogTest)
#include "basic_settings_dialog_test.moc"
