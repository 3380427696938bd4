#include "accessible_names.h"
#include "app/editors/csd_serial_port_dialog.h"
#include "modal_answer.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace telvor {
namespace {

QRadioButton* button(QWidget* dialog, const QString& name)
{
    return requiredControl<QRadioButton>(dialog, name);
}

QStringList checkedButtons(QWidget* dialog)
{
    QStringList checked;
    for (QRadioButton* radio : dialog->findChildren<QRadioButton*>()) {
        if (radio->isChecked())
            checked << radio->accessibleName();
    }
    checked.sort();
    return checked;
}

} // namespace

class CsdSerialPortDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void textsAreInPolish()
    {
        CsdSerialPort port;
        CsdSerialPortDialog dialog(port, nullptr);
        QCOMPARE(dialog.windowTitle(), "Konfiguracja portu szeregowego (CSD)");
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QString::fromUtf8("Wprowadź"));
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), "Anuluj");
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        QVERIFY(button(&dialog, QString::fromUtf8("Prędkość, 14400")));
        QVERIFY(button(&dialog, QString::fromUtf8("Parzystość, ODD")));
    }

    void opensClampedAndStoresWhatItShows_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("storedAfterOk");
        QTest::newRow("0x60 is 9600 8N1 RS-232")
            << 0x60
            << QStringList{"Bity STOP, 1-bit", "Interfejs, RS-232", QString::fromUtf8("Parzystość, NONE"),
                           QString::fromUtf8("Prędkość, 9600"), "Znak, 8-bit"}
            << 0x60;
        QTest::newRow("0xFF shows 19200 ODD and is stored as 0xB7")
            << 0xFF
            << QStringList{"Bity STOP, 2-bit", "Interfejs, RS-485", QString::fromUtf8("Parzystość, ODD"),
                           QString::fromUtf8("Prędkość, 19200"), "Znak, 7-bit"}
            << 0xB7;
    }

    void opensClampedAndStoresWhatItShows()
    {
        QFETCH(int, stored);
        QFETCH(QStringList, shown);
        QFETCH(int, storedAfterOk);
        SettingsImage image;
        image.setU8(slot("SCFG"), static_cast<std::uint8_t>(stored));
        whenModalOpens([&shown](QWidget* dialog) {
            QCOMPARE(checkedButtons(dialog), shown);
            pressOk(dialog);
        });
        QVERIFY(editCsdSerialPort(nullptr, image));
        QCOMPARE(image.u8(slot("SCFG")), storedAfterOk);
    }

    void chosenButtonsMakeTheByte()
    {
        SettingsImage image;
        image.setU8(slot("SCFG"), 0x60);
        whenModalOpens([](QWidget* dialog) {
            for (const char* name :
                 {"Prędkość, 14400", "Parzystość, EVEN", "Znak, 7-bit", "Bity STOP, 2-bit", "Interfejs, RS-485"})
                QTest::mouseClick(button(dialog, QString::fromUtf8(name)), Qt::LeftButton);
            pressOk(dialog);
        });
        QVERIFY(editCsdSerialPort(nullptr, image));
        QCOMPARE(image.u8(slot("SCFG")), 0x8F);
    }

    void cancelLeavesTheByte()
    {
        SettingsImage image;
        image.setU8(slot("SCFG"), 0xFF);
        whenModalOpens([](QWidget* dialog) {
            QTest::mouseClick(button(dialog, "Interfejs, RS-232"), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!editCsdSerialPort(nullptr, image));
        QCOMPARE(image.u8(slot("SCFG")), 0xFF);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::CsdSerialPortDialogTest)
#include "csd_serial_port_dialog_test.moc"
