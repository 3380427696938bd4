#include "accessible_names.h"
#include "app/editors/email_notifications_dialog.h"
#include "modal_answer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace telvor {
namespace {

WindowValues countingWindow(int& takes, int& puts)
{
    return {[&takes] { ++takes; }, [&puts] { ++puts; }};
}

} // namespace

class EmailNotificationsDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void gridBoxesAreNamedByRowAndColumn()
    {
        EmailNotifications notifications;
        EmailNotificationsDialog dialog(notifications, nullptr);
        QCOMPARE(dialog.windowTitle(), "Settings of email notifications");
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        for (int input = 1; input <= 8; ++input) {
            for (int recipient = 1; recipient <= 5; ++recipient)
                QVERIFY(requiredControl<QCheckBox>(&dialog,
                                                   QStringLiteral("Input L%1, e-mail %2").arg(input).arg(recipient))
                            ->isEnabled());
            QVERIFY(requiredControl<QCheckBox>(&dialog, QStringLiteral("Input L%1, JPG").arg(input))->isHidden());
        }
        QVERIFY(requiredControl<QCheckBox>(&dialog, "Report, e-mail 5")->isEnabled());
        QVERIFY(requiredControl<QCheckBox>(&dialog, "Report, JPG")->isHidden());
        QVERIFY(!requiredControl<QCheckBox>(&dialog, "Report, JPG")->isEnabled());
    }

    void opensWhatIsStored()
    {
        SettingsImage image;
        image.setU8(slot("SEML", 3), 0xE1);
        image.setU8(slot("SLOG"), 0xFF);
        image.setU8(slot("SLGT"), 0x44);
        EmailNotifications notifications;
        notifications.unpack(image);
        EmailNotificationsDialog dialog(notifications, nullptr);
        QVERIFY(requiredControl<QCheckBox>(&dialog, "Input L3, e-mail 1")->isChecked());
        QVERIFY(!requiredControl<QCheckBox>(&dialog, "Input L3, e-mail 2")->isChecked());
        QVERIFY(requiredControl<QCheckBox>(&dialog, "Input L3, JPG")->isChecked());
        QCOMPARE(requiredControl<QLineEdit>(&dialog, "Sending hour")->text(), "31");
        QVERIFY(requiredControl<QRadioButton>(&dialog, "Send period 7 days")->isChecked());
        QVERIFY(requiredControl<QCheckBox>(&dialog, "Send log records to e-mail 3")->isChecked());
        QVERIFY(requiredControl<QCheckBox>(&dialog, "Send also measurement records")->isChecked());
        QVERIFY(!requiredControl<QCheckBox>(&dialog, "Erase log after sending via email")->isChecked());
    }

    void okStoresTheClickedBoxes_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<int>("slog");
        QTest::addColumn<int>("slgt");
        QTest::addColumn<int>("seml4");
        QTest::addColumn<int>("report");
        QTest::newRow("every 7 days at hour 6") << QStringList{"Send period 7 days"} << "6" << 0x66 << 0 << 0 << 0;
        QTest::newRow("hour 31 is the top of the 5-bit range") << QStringList{} << "31" << 0x1F << 0 << 0 << 0;
        QTest::newRow("every 2 days, log to e-mail 5, erased after sending")
            << QStringList{"Send period 2 days", "Send log records to e-mail 5", "Erase log after sending via email"}
            << "0" << 0x20 << 0x30 << 0 << 0;
        QTest::newRow("input L4 to e-mails 1 and 4, report to e-mail 3")
            << QStringList{"Input L4, e-mail 1", "Input L4, e-mail 4", "Report, e-mail 3"} << "12" << 0x0C << 0 << 0x09
            << 0x04;
    }

    void okStoresTheClickedBoxes()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, hour);
        QFETCH(int, slog);
        QFETCH(int, slgt);
        QFETCH(int, seml4);
        QFETCH(int, report);
        SettingsImage image;
        int takes = 0;
        int puts = 0;
        whenModalOpens([&](QWidget* dialog) {
            QCOMPARE(takes, 1);
            QCOMPARE(puts, 0);
            for (const QString& name : clicks)
                QTest::mouseClick(requiredControl<QAbstractButton>(dialog, name), Qt::LeftButton);
            retype(dialog, "Sending hour", hour);
            pressOk(dialog);
        });
        QVERIFY(editEmailNotifications(nullptr, image, countingWindow(takes, puts)));
        QCOMPARE(puts, 1);
        QCOMPARE(image.u8(slot("SLOG")), slog);
        QCOMPARE(image.u8(slot("SLGT")), slgt);
        QCOMPARE(image.u8(slot("SEML", 4)), seml4);
        QCOMPARE(image.u8(slot("RCFG", Field::kNotIndexed, 2)), report);
    }

    void hour32IsRefusedAndCancelStoresNothing()
    {
        SettingsImage image;
        image.bytes().fill(0xFF);
        const SettingsImage before = image;
        int takes = 0;
        int puts = 0;
        ModalBox shown;
        whenModalOpens([&shown](QWidget* dialog) {
            QTest::mouseClick(requiredControl<QCheckBox>(dialog, "Input L1, e-mail 1"), Qt::LeftButton);
            retype(dialog, "Sending hour", "32");
            shown = answerModalBox([dialog] { pressOk(dialog); });
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->focusWidget(), requiredControl<QLineEdit>(dialog, "Sending hour"));
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!editEmailNotifications(nullptr, image, countingWindow(takes, puts)));
        QCOMPARE(shown.text, "Please enter an integer between 0 and 31.");
        QVERIFY(image == before);
        QCOMPARE(takes, 1);
        QCOMPARE(puts, 1);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::EmailNotificationsDialogTest)
#include "email_notifications_dialog_test.moc"
