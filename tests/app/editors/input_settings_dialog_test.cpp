#include "accessible_names.h"
#include "app/editors/edge_picture.h"
#include "app/editors/input_settings_dialog.h"
#include "modal_answer.h"
#include "support/image_bytes.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {
namespace {

// Input L1 with a temperature sensor of kind `kind` (0 for T, 2 for D) and
// thresholds 25.0 'C and 30.0 'C.
SettingsImage temperatureImage(std::uint8_t kind)
{
    SettingsImage image;
    image.setU8(slot("ICFG", 1), 0x80);
    image.setU8(slot("SCFG", 1), kind);
    image.setU16(slot("ULO", 1), 2982);
    image.setU16(slot("UHI", 1), 3032);
    image.setU8(slot("HIST1"), 10);
    image.setU8(slot("HIST2"), 20);
    return image;
}

} // namespace

class InputSettingsDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheImagesValues()
    {
        SettingsImage image = temperatureImage(0x02);
        image.setU8(slot("ADEL", 1), 0x85);
        image.setU8(slot("ECFG", 1), 0x04);
        InputSettings settings;
        settings.unpack(image);
        InputSettingsDialog dialog(settings, nullptr);
        QCOMPARE(dialog.windowTitle(), "Input settings");
        QVERIFY(checkBox(&dialog, "Input L1, D")->isChecked());
        QVERIFY(!checkBox(&dialog, "Input L1, T")->isChecked());
        QCOMPARE(textBox(&dialog, "Input L1, L threshold")->text(), "25.0 'C");
        QCOMPARE(textBox(&dialog, "Input L1, H threshold")->text(), "30.0 'C");
        QCOMPARE(textBox(&dialog, "Input L1, delayed alarm time")->text(), "5m");
        QVERIFY(checkBox(&dialog, "Input L1, SMS 8")->isChecked());
        QCOMPARE(textBox(&dialog, "Input L2, L threshold")->text(), "0 mV");
        QCOMPARE(textBox(&dialog, "L1...L4 insensitivity")->text(), "10");
        QCOMPARE(textBox(&dialog, "L5...L8 insensitivity")->text(), "20");
    }

    void rowsHaveTheirOwnTypeBoxes()
    {
        InputSettings settings;
        InputSettingsDialog dialog(settings, nullptr);
        for (int input = 1; input <= kInputCount; ++input) {
            const QString row = QStringLiteral("Input L%1, ").arg(input);
            QCOMPARE(controlNamed<QCheckBox>(&dialog, row + "TR") != nullptr, input % 2 == 1);
            QCOMPARE(controlNamed<QCheckBox>(&dialog, row + "RR") != nullptr, input % 2 == 0);
            QCOMPARE(controlNamed<QCheckBox>(&dialog, row + "PT") != nullptr, input <= 6);
        }
    }

    void everyControlHasItsOwnName()
    {
        InputSettings settings;
        InputSettingsDialog dialog(settings, nullptr);
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
    }

    void edgePicturesFallAndRise()
    {
        InputSettings settings;
        InputSettingsDialog dialog(settings, nullptr);
        auto* falling = dialog.findChild<EdgePicture*>("fallingEdge");
        auto* rising = dialog.findChild<EdgePicture*>("risingEdge");
        QVERIFY(falling && rising);
        QVERIFY(!falling->rising());
        QVERIFY(rising->rising());
    }

    void checkingDWhereTIsCheckedKeepsDegrees()
    {
        SettingsImage image = temperatureImage(0x00);
        InputSettings settings;
        settings.unpack(image);
        InputSettingsDialog dialog(settings, nullptr);
        dialog.show();
        QVERIFY(checkBox(&dialog, "Input L1, T")->isChecked());
        QTest::mouseClick(checkBox(&dialog, "Input L1, D"), Qt::LeftButton);
        QVERIFY(checkBox(&dialog, "Input L1, D")->isChecked());
        QVERIFY(!checkBox(&dialog, "Input L1, T")->isChecked());
        QCOMPARE(textBox(&dialog, "Input L1, L threshold")->text(), "25.0 'C");
        QCOMPARE(textBox(&dialog, "Input L1, H threshold")->text(), "30.0 'C");
        QCOMPARE(settings.inputs[0].unitCode, 2);
    }

    void uncheckingATypeShowsTheSameRawNumbersInMillivolts()
    {
        SettingsImage image = temperatureImage(0x02);
        InputSettings settings;
        settings.unpack(image);
        InputSettingsDialog dialog(settings, nullptr);
        dialog.show();
        QTest::mouseClick(checkBox(&dialog, "Input L1, D"), Qt::LeftButton);
        QVERIFY(!checkBox(&dialog, "Input L1, D")->isChecked());
        QCOMPARE(textBox(&dialog, "Input L1, L threshold")->text(), "2982 mV");
        QCOMPARE(textBox(&dialog, "Input L1, H threshold")->text(), "3032 mV");
    }

    void typedThresholdIsReadInTheOldUnitOnTypeChange()
    {
        SettingsImage image;
        InputSettings settings;
        settings.unpack(image);
        InputSettingsDialog dialog(settings, nullptr);
        dialog.show();
        textBox(&dialog, "Input L4, L threshold")->setText("2982");
        QTest::mouseClick(checkBox(&dialog, "Input L4, RR"), Qt::LeftButton);
        QCOMPARE(textBox(&dialog, "Input L4, L threshold")->text(), "99 %");
        QTest::mouseClick(checkBox(&dialog, "Input L4, PT"), Qt::LeftButton);
        QVERIFY(!checkBox(&dialog, "Input L4, RR")->isChecked());
        QCOMPARE(textBox(&dialog, "Input L4, L threshold")->text(), "24.8 'C");
    }

    void refusedInsensitivityUndoesATypeClick()
    {
        SettingsImage image = temperatureImage(0x00);
        InputSettings settings;
        settings.unpack(image);
        InputSettingsDialog dialog(settings, nullptr);
        dialog.show();
        textBox(&dialog, "L5...L8 insensitivity")->setText("300");
        const ModalBox shown
            = answerModalBox([&] { QTest::mouseClick(checkBox(&dialog, "Input L1, S"), Qt::LeftButton); });
        QVERIFY(shown.shown);
        QCOMPARE(shown.text, "Please enter an integer between 0 and 255.");
        QVERIFY(!checkBox(&dialog, "Input L1, S")->isChecked());
        QVERIFY(checkBox(&dialog, "Input L1, T")->isChecked());
        QCOMPARE(textBox(&dialog, "Input L1, L threshold")->text(), "25.0 'C");
        QCOMPARE(settings.inputs[0].unitCode, 2);
    }

    void insensitivityOf256IsRefusedUntilCorrected()
    {
        SettingsImage image = temperatureImage(0x00);
        const SettingsImage before = image;
        bool refused = false;
        QString message;
        whenModalOpens([&](QWidget* dialog) {
            textBox(dialog, "L1...L4 insensitivity")->setText("256");
            const ModalBox shown = answerModalBox([&] { pressOk(dialog); });
            refused = shown.shown && dialog->isVisible();
            message = shown.text;
            textBox(dialog, "L1...L4 insensitivity")->setText("255");
            pressOk(dialog);
        });
        QVERIFY(editInputs(nullptr, image));
        QVERIFY(refused);
        QCOMPARE(message, "Please enter an integer between 0 and 255.");
        QCOMPARE(image.u8(slot("HIST1")), 255);
        QCOMPARE(image.u8(slot("HIST2")), before.u8(slot("HIST2")));
    }

    void notAnIntegerIsRefused()
    {
        InputSettings settings;
        InputSettingsDialog dialog(settings, nullptr);
        dialog.show();
        textBox(&dialog, "L5...L8 insensitivity")->setText("ten");
        const ModalBox shown = answerModalBox([&] { pressOk(&dialog); });
        QCOMPARE(shown.text, "Please enter an integer.");
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), textBox(&dialog, "L5...L8 insensitivity"));
    }

    void okStoresTypesThresholdsAndDelays()
    {
        SettingsImage image = temperatureImage(0x00);
        whenModalOpens([](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "Input L3, S"), Qt::LeftButton);
            textBox(dialog, "Input L3, H threshold")->setText("1234.6");
            textBox(dialog, "Input L1, L threshold")->setText("21,5");
            textBox(dialog, "Input L8, delayed alarm time")->setText("3h");
            QTest::mouseClick(checkBox(dialog, "Input L8, SMS 10"), Qt::LeftButton);
            QTest::mouseClick(checkBox(dialog, "HIGH state, L6"), Qt::LeftButton);
            pressOk(dialog);
        });
        QVERIFY(editInputs(nullptr, image));
        QCOMPARE(image.u16(slot("ULO", 1)), 2947);
        QCOMPARE(image.u8(slot("SCFG", 3)), 0x03);
        QCOMPARE(image.u8(slot("ICFG", 3)), 0x00);
        QCOMPARE(image.u16(slot("UHI", 3)), 1234);
        QCOMPARE(image.u8(slot("ADEL", 8)), 0xFE);
        QCOMPARE(image.u8(slot("ECFG", 8)), 0x10);
        QCOMPARE(image.u8(slot("ALMD", Field::kNotIndexed, 2)), 0x20);
    }

    void cancelLeavesTheImageUnchanged()
    {
        SettingsImage image = patternedImage();
        const SettingsImage before = image;
        whenModalOpens([](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "Input L2, RH"), Qt::LeftButton);
            textBox(dialog, "Input L2, L threshold")->setText("55");
            textBox(dialog, "L1...L4 insensitivity")->setText("7");
            QTest::mouseClick(checkBox(dialog, "LOW state, L1"), Qt::LeftButton);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!editInputs(nullptr, image));
        QVERIFY(image == before);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::InputSettingsDialogTest)
#include "input_settings_dialog_test.moc"
