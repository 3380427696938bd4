#include "accessible_names.h"
#include "app/editors/authorization_dialog.h"
#include "modal_answer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

namespace telvor {

class AuthorizationDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void gridHasThirtyEightNamedBoxes()
    {
        Authorization authorization;
        AuthorizationDialog dialog(authorization, nullptr);
        QCOMPARE(dialog.windowTitle(), "Telephone number authorization");
        QCOMPARE(dialog.findChildren<QCheckBox*>().size(), 38);
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        for (const char* service : {"Periodical report", "On-demand report", "SMS remote-control"}) {
            for (int number = 1; number <= 10; ++number)
                QVERIFY(checkBox(&dialog, QStringLiteral("%1, Num %2").arg(service).arg(number))->isEnabled());
        }
        QVERIFY(checkBox(&dialog, "On-demand report, ANYONE")->isEnabled());
        QVERIFY(checkBox(&dialog, "SMS remote-control, ANYONE")->isEnabled());
    }

    void csdRowShowsItsBitsButIsDisabled()
    {
        SettingsImage image;
        image.bytes()[slot("CSDC").offset] = 0x85;
        Authorization authorization;
        authorization.unpack(image);
        AuthorizationDialog dialog(authorization, nullptr);
        const bool expected[] = {true, false, true, false, false};
        for (int number = 1; number <= 5; ++number) {
            QCheckBox* csd = checkBox(&dialog, QStringLiteral("CSD modem connection, Num %1").arg(number));
            QVERIFY(!csd->isEnabled());
            QCOMPARE(csd->isChecked(), expected[number - 1]);
        }
        QVERIFY(!checkBox(&dialog, "CSD modem connection, ANYONE")->isEnabled());
        QVERIFY(checkBox(&dialog, "CSD modem connection, ANYONE")->isChecked());
    }

    void okStoresTheClickedBoxes()
    {
        SettingsImage image;
        image.bytes()[slot("CSDC").offset] = 0x7F;
        whenModalOpens([](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "Periodical report, Num 6"), Qt::LeftButton);
            QTest::mouseClick(checkBox(dialog, "SMS remote-control, ANYONE"), Qt::LeftButton);
            QTest::mouseClick(checkBox(dialog, "On-demand report, Num 10"), Qt::LeftButton);
            QTest::mouseClick(checkBox(dialog, "CSD modem connection, Num 1"), Qt::LeftButton);
            pressOk(dialog);
        });
        QVERIFY(editAuthorization(nullptr, image));
        QCOMPARE(image.bytes()[3592], 0x01);
        QCOMPARE(image.bytes()[1767], 0x80);
        QCOMPARE(image.bytes()[3593], 0x10);
        // Disabled boxes ignore clicks and hand back bits 0 to 4.
        QCOMPARE(image.bytes()[1768], 0x1F);
    }

    void cancelLeavesTheImage()
    {
        SettingsImage image;
        image.bytes().fill(0xFF);
        const SettingsImage before = image;
        whenModalOpens([](QWidget* dialog) {
            QTest::mouseClick(checkBox(dialog, "Periodical report, Num 1"), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!editAuthorization(nullptr, image));
        QVERIFY(image == before);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::AuthorizationDialogTest)
#include "authorization_dialog_test.moc"
