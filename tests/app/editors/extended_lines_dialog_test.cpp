#include "accessible_names.h"
#include "app/editors/edge_picture.h"
#include "app/editors/extended_lines_dialog.h"
#include "modal_answer.h"
#include "support/image_bytes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {

class ExtendedLinesDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheImagesValues()
    {
        SettingsImage image;
        image.setU8(slot("MCFG2"), 0x20);
        image.setU8(slot("XTYP1"), 2);
        image.setU16(slot("XLO1"), 2932);
        image.setU8(slot("XTYP9"), 1);
        image.setU16(slot("XHI9"), 2600);
        image.setU8(slot("XCFG", 12), 0x42);
        image.setText(slot("XMS", 12), "Meter @XR12 W");
        image.setText(slot("XMS", 17), "Link lost");
        image.setU8(slot("SXML"), 0x08);
        ExtendedLines lines;
        lines.unpack(image);
        ExtendedLinesDialog dialog(lines, nullptr);
        QCOMPARE(dialog.windowTitle(), "Configuration of the extended lines");
        QVERIFY(!checkBox(&dialog, "Support for the expansion module")->isChecked());
        QVERIFY(checkBox(&dialog, "Support for the energy counter via RS-485")->isChecked());
        QVERIFY(checkBox(&dialog, "XL1...XL8, T/D")->isChecked());
        QCOMPARE(textBox(&dialog, "XL1...XL8, Lower threshold (HL)")->text(), "20.0 'C");
        QVERIFY(checkBox(&dialog, "XL9...XL16, RH")->isChecked());
        QCOMPARE(textBox(&dialog, "XL9...XL16, Upper threshold (LH)")->text(), "80 %");
        QVERIFY(checkBox(&dialog, "Input XL12, LH")->isChecked());
        QVERIFY(checkBox(&dialog, "Input XL12, SMS 5")->isChecked());
        QVERIFY(!checkBox(&dialog, "Input XL12, HL")->isChecked());
        QCOMPARE(textBox(&dialog, "Input XL12, body")->text(), "Meter @XR12 W");
        QCOMPARE(textBox(&dialog, "Communication control, body")->text(), "Link lost");
        QVERIFY(checkBox(&dialog, "Send email to address 4")->isChecked());
        QCOMPARE(textBox(&dialog, "Input XL1, body")->maxLength(), QLineEdit().maxLength());
    }

    void buttonsKeepTheirCaptions()
    {
        ExtendedLines lines;
        ExtendedLinesDialog dialog(lines, nullptr);
        QVERIFY(requiredButton(&dialog, "Wprowadź")->isDefault());
        requiredButton(&dialog, "Anuluj");
        requiredButton(&dialog, "Kody...");
    }

    void everyControlHasItsOwnName()
    {
        ExtendedLines lines;
        ExtendedLinesDialog dialog(lines, nullptr);
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        QVERIFY(!dialog.findChild<EdgePicture*>("fallingEdge")->rising());
        QVERIFY(dialog.findChild<EdgePicture*>("risingEdge")->rising());
    }

    void uncheckingHumidityShowsMillivoltsAndStoresTypeZero()
    {
        SettingsImage image;
        image.setU8(slot("XTYP9"), 1);
        image.setU16(slot("XHI9"), 2600);
        QString shown;
        whenModalOpens([&shown](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "XL9...XL16, RH"), Qt::LeftButton);
            shown = textBox(dialog, "XL9...XL16, Upper threshold (LH)")->text();
            QTest::mouseClick(requiredButton(dialog, "Wprowadź"), Qt::LeftButton);
        });
        QVERIFY(editExtendedLines(nullptr, image));
        QCOMPARE(shown, "2600 mV");
        QCOMPARE(image.u8(slot("XTYP9")), 0);
        QCOMPARE(image.u16(slot("XHI9")), 2600);
    }

    void typeBoxesOfAGroupExcludeEachOther()
    {
        SettingsImage image;
        image.setU16(slot("XLO1"), 2982);
        ExtendedLines lines;
        lines.unpack(image);
        ExtendedLinesDialog dialog(lines, nullptr);
        dialog.show();
        QTest::mouseClick(checkBox(&dialog, "XL1...XL8, T/D"), Qt::LeftButton);
        QCOMPARE(textBox(&dialog, "XL1...XL8, Lower threshold (HL)")->text(), "25.0 'C");
        QTest::mouseClick(checkBox(&dialog, "XL1...XL8, RH"), Qt::LeftButton);
        QVERIFY(!checkBox(&dialog, "XL1...XL8, T/D")->isChecked());
        QVERIFY(checkBox(&dialog, "XL1...XL8, RH")->isChecked());
        QCOMPARE(textBox(&dialog, "XL1...XL8, Lower threshold (HL)")->text(), "99 %");
        QVERIFY(!checkBox(&dialog, "XL9...XL16, RH")->isChecked());
    }

    void longBodyIsCutToFortyCharacters()
    {
        SettingsImage image;
        const QString typed = QString(40, u'a') + "bcdef";
        whenModalOpens([&typed](QWidget* dialog) {
            textBox(dialog, "Input XL7, body")->setText(typed);
            QTest::mouseClick(requiredButton(dialog, "Wprowadź"), Qt::LeftButton);
        });
        QVERIFY(editExtendedLines(nullptr, image));
        const auto field = image.bytesOf(slot("XMS", 7));
        QCOMPARE(std::string(field.begin(), field.end()), std::string(40, 'a'));
    }

    void polishBodyIsStoredInWindows1250()
    {
        SettingsImage image;
        whenModalOpens([](QWidget* dialog) {
            textBox(dialog, "Communication control, body")->setText(QStringLiteral("Brak łączności"));
            QTest::mouseClick(requiredButton(dialog, "Wprowadź"), Qt::LeftButton);
        });
        QVERIFY(editExtendedLines(nullptr, image));
        QCOMPARE(image.text(slot("XMS", 17)), std::string("Brak \xB3\xB9\x63zno\x9C\x63i"));
    }

    void codesButtonOpensTheVariableCodes()
    {
        ExtendedLines lines;
        ExtendedLinesDialog dialog(lines, nullptr);
        dialog.show();
        QString title;
        whenModalOpens([&title](QWidget* codes) {
            title = codes->windowTitle();
            QTest::keyClick(codes, Qt::Key_Escape);
        });
        QTest::mouseClick(requiredButton(&dialog, "Kody..."), Qt::LeftButton);
        QCOMPARE(title, "Variable codes in SMS / email message body");
        QVERIFY(dialog.isVisible());
    }

    void cancelLeavesTheImageUnchanged()
    {
        SettingsImage image = patternedImage();
        const SettingsImage before = image;
        whenModalOpens([](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "XL1...XL8, RH"), Qt::LeftButton);
            QTest::mouseClick(checkBox(dialog, "Input XL3, HL"), Qt::LeftButton);
            textBox(dialog, "Input XL3, body")->setText("changed");
            QTest::mouseClick(requiredButton(dialog, "Anuluj"), Qt::LeftButton);
        });
        QVERIFY(!editExtendedLines(nullptr, image));
        QVERIFY(image == before);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::ExtendedLinesDialogTest)
#include "extended_lines_dialog_test.moc"
