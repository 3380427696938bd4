#include "accessible_names.h"
#include "app/editors/outputs_dialog.h"
#include "modal_answer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {
namespace {

QAbstractButton* dialogButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox*>()->button(which);
}

} // namespace

class OutputsDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void everyControlIsNamed()
    {
        Outputs outputs;
        OutputsDialog dialog(outputs, nullptr);
        QCOMPARE(dialog.windowTitle(), "Configuration of the outputs ");
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        QCOMPARE(dialog.findChildren<QCheckBox*>().size(), 21);
        QVERIFY(checkBox(&dialog, "Thermostat L2-O3, Cooling"));
        QVERIFY(checkBox(&dialog, "Output O6, Permanent"));
    }

    void checkedModeUnchecksTheOthersOfItsOutput_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QStringList>("checkedBefore");
        QTest::addColumn<QStringList>("unchecked");
        QTest::addColumn<QStringList>("untouched");
        QTest::newRow("Cooling of L2-O3 unchecks L2(LOW) signaling")
            << "Thermostat L2-O3, Cooling" << QStringList{"Output O3, L2(LOW) signaling"}
            << QStringList{"Output O3, L2(LOW) signaling", "Thermostat L2-O3, Heating"}
            << QStringList{"Thermostat L1-O1, Heating", "Output O5, L5(LOW) signaling"};
        QTest::newRow("Heating of L1-O1 unchecks both others")
            << "Thermostat L1-O1, Heating" << QStringList{"Output O1, L1(LOW) signaling", "Thermostat L1-O1, Cooling"}
            << QStringList{"Output O1, L1(LOW) signaling", "Thermostat L1-O1, Cooling"}
            << QStringList{"Thermostat L2-O3, Heating", "Output O2, L1(HIGH) signaling"};
        QTest::newRow("L5(LOW) signaling unchecks Cooling of L5-O5")
            << "Output O5, L5(LOW) signaling" << QStringList{"Thermostat L5-O5, Cooling"}
            << QStringList{"Thermostat L5-O5, Cooling", "Thermostat L5-O5, Heating"}
            << QStringList{"Thermostat L1-O1, Heating", "Output O6, L5(HIGH) signaling"};
    }

    void checkedModeUnchecksTheOthersOfItsOutput()
    {
        QFETCH(QString, clicked);
        QFETCH(QStringList, checkedBefore);
        QFETCH(QStringList, unchecked);
        QFETCH(QStringList, untouched);
        Outputs outputs;
        OutputsDialog dialog(outputs, nullptr);
        dialog.show();
        for (const QString& name : checkedBefore + untouched)
            checkBox(&dialog, name)->setChecked(true);
        QTest::mouseClick(checkBox(&dialog, clicked), Qt::LeftButton);
        QVERIFY(checkBox(&dialog, clicked)->isChecked());
        for (const QString& name : unchecked)
            QVERIFY2(!checkBox(&dialog, name)->isChecked(), qPrintable(name));
        for (const QString& name : untouched)
            QVERIFY2(checkBox(&dialog, name)->isChecked(), qPrintable(name));
    }

    void uncheckingAModeChangesNothingElse()
    {
        SettingsImage image;
        image.setU8(slot("OCFG", 1), 0x0E);
        Outputs outputs;
        outputs.unpack(image);
        OutputsDialog dialog(outputs, nullptr);
        dialog.show();
        QTest::mouseClick(checkBox(&dialog, "Thermostat L1-O1, Cooling"), Qt::LeftButton);
        QVERIFY(!checkBox(&dialog, "Thermostat L1-O1, Cooling")->isChecked());
        QVERIFY(checkBox(&dialog, "Thermostat L1-O1, Heating")->isChecked());
        QVERIFY(checkBox(&dialog, "Output O1, L1(LOW) signaling")->isChecked());
    }

    void okStoresOneModePerOutput()
    {
        SettingsImage image;
        image.setU8(slot("OCFG", 1), 0x0E);
        image.setU8(slot("OCFG", 2), 0xFF);
        image.setU8(slot("MCFG2"), 0x81);
        whenModalOpens([](QWidget* dialog) {
            QVERIFY(checkBox(dialog, "Thermostat L1-O1, Cooling")->isChecked());
            QTest::mouseClick(checkBox(dialog, "Buzzer, Signaling of the alarm state"), Qt::LeftButton);
            QLineEdit* time = controlNamed<QLineEdit>(dialog, "Signalling time, s");
            time->clear();
            QTest::keyClicks(time, "254");
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QVERIFY(editOutputs(nullptr, image));
        QCOMPARE(image.u8(slot("OCFG", 1)), 0x04);
        QCOMPARE(image.u8(slot("OCFG", 2)), 0x03);
        QCOMPARE(image.u8(slot("ATIM")), 254);
        QCOMPARE(image.u8(slot("MCFG2")), 0xC1);
    }

    void refusedTimeThenCancelStoresNothing()
    {
        SettingsImage image;
        image.bytes().fill(0xFF);
        const SettingsImage before = image;
        ModalBox shown;
        whenModalOpens([&shown](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "Output O4, Permanent"), Qt::LeftButton);
            QLineEdit* time = controlNamed<QLineEdit>(dialog, "Signalling time, s");
            time->clear();
            QTest::keyClicks(time, "256");
            shown = answerModalBox(
                [dialog] { QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton); });
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->focusWidget(), time);
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!editOutputs(nullptr, image));
        QCOMPARE(shown.text, "Please enter an integer between 0 and 255.");
        QVERIFY(image == before);
    }

    void escapeAfterARefusalClearsTheOkMark()
    {
        Outputs outputs;
        OutputsDialog dialog(outputs, nullptr);
        dialog.show();
        controlNamed<QLineEdit>(&dialog, "Signalling time, s")->setText("x");
        answerModalBox([&dialog] { dialog.accept(); });
        QCOMPARE(outputs.closedWithOk, 1);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(outputs.closedWithOk, 0);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::OutputsDialogTest)
#include "outputs_dialog_test.moc"
