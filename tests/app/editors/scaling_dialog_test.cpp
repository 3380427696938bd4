#include "accessible_names.h"
#include "app/editors/scaling_dialog.h"
#include "modal_answer.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {

class ScalingDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void sixteenNamedBoxes()
    {
        Scaling scaling;
        ScalingDialog dialog(scaling, nullptr);
        QCOMPARE(dialog.windowTitle(), "Scaling factors (S) for analog measurements");
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        QCOMPARE(dialog.findChildren<QLineEdit*>().size(), 16);
        QVERIFY(textBox(&dialog, "Input L8, B"));
    }

    void refusedValues_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("32768") << "32768"
                               << "Please enter an integer between -32767 and 32767.";
        QTest::newRow("-32768") << "-32768"
                                << "Please enter an integer between -32767 and 32767.";
        QTest::newRow("letters") << "gain"
                                 << "Please enter an integer.";
    }

    // A refusal, then Cancel: nothing reaches the image.
    void refusedValues()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        SettingsImage image;
        const SettingsImage before = image;
        ModalBox shown;
        whenModalOpens([&](QWidget* dialog) {
            retype(dialog, "Input L1, A", "1000");
            retype(dialog, "Input L4, B", typed);
            shown = answerModalBox([dialog] { pressOk(dialog); });
            QVERIFY(dialog->isVisible());
            QCOMPARE(dialog->focusWidget(), textBox(dialog, "Input L4, B"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!editScaling(nullptr, image));
        QCOMPARE(shown.text, message);
        QVERIFY(image == before);
    }

    void storedMinus32768IsRefusedUntilChanged()
    {
        SettingsImage image;
        image.setU16(slot("SCLA", 2), 0x8000);
        QStringList messages;
        whenModalOpens([&messages](QWidget* dialog) {
            QCOMPARE(textBox(dialog, "Input L2, A")->text(), "-32768");
            messages << answerModalBox([dialog] { pressOk(dialog); }).text;
            QVERIFY(dialog->isVisible());
            retype(dialog, "Input L2, A", "-1000");
            retype(dialog, "Input L7, B", "-32767");
            pressOk(dialog);
        });
        QVERIFY(editScaling(nullptr, image));
        QCOMPARE(messages, QStringList{"Please enter an integer between -32767 and 32767."});
        const auto gain = image.bytesOf(slot("SCLA", 2));
        QCOMPARE(gain[0], 0x18);
        QCOMPARE(gain[1], 0xFC);
        QCOMPARE(image.u16(slot("SCLB", 7)), 0x8001);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::ScalingDialogTest)
#include "scaling_dialog_test.moc"
