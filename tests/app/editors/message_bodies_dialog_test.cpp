#include "accessible_names.h"
#include "app/editors/message_bodies_dialog.h"
#include "editors/variable_codes.h"
#include "modal_answer.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace telvor {
namespace {

QPushButton* variableCodesButton(QWidget* dialog)
{
    for (auto* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == "Var. codes...")
            return button;
    }
    qFatal("no variable codes button");
}

const QStringList kBoxNames{"Input L1", "Input L2", "Input L3", "Input L4",          "Input L5",
                            "Input L6", "Input L7", "Input L8", "Periodical report", "On-demand report"};

} // namespace

class MessageBodiesDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void tenBoxesOf160Characters()
    {
        MessageBodies messages;
        MessageBodiesDialog dialog(messages, nullptr);
        QCOMPARE(dialog.windowTitle(), "SMS / email message body");
        QCOMPARE(accessibleNameProblems(&dialog), QStringList());
        for (const QString& name : kBoxNames)
            QCOMPARE(textBox(&dialog, name)->maxLength(), 160);
        QTest::keyClicks(textBox(&dialog, "Input L4"), QString(170, u'k'));
        QCOMPARE(textBox(&dialog, "Input L4")->text(), QString(160, u'k'));
        QApplication::clipboard()->setText(QString(200, u'p'));
        textBox(&dialog, "Input L5")->paste();
        QCOMPARE(textBox(&dialog, "Input L5")->text(), QString(160, u'p'));
    }

    void okStoresEachBoxInItsField()
    {
        SettingsImage image;
        whenModalOpens([](QWidget* dialog) {
            textBox(dialog, "Input L3")->setText("L3 @U3|L3 ok");
            textBox(dialog, "Periodical report")->setText(QString::fromUtf8("Raport @TIME żółć"));
            textBox(dialog, "On-demand report")->setText(QString(160, u'z'));
            pressOk(dialog);
        });
        QVERIFY(editMessageBodies(nullptr, image));
        QCOMPARE(image.text(slot("SMS", 3)), "L3 @U3|L3 ok");
        QCOMPARE(image.text(slot("SMS", 0)), "Raport @TIME \xBF\xF3\xB3\xE6");
        QCOMPARE(image.text(slot("SMS", 9)), std::string(160, 'z'));
        QCOMPARE(image.text(slot("SMS", 1)), "");
    }

    void bodiesOpenFromTheirFields()
    {
        SettingsImage image;
        image.setText(slot("SMS", 8), "L8 \x9F");
        image.setText(slot("SMS", 9), "on demand");
        MessageBodies messages;
        messages.unpack(image);
        MessageBodiesDialog dialog(messages, nullptr);
        QCOMPARE(textBox(&dialog, "Input L8")->text(), QString::fromUtf8("L8 ź"));
        QCOMPARE(textBox(&dialog, "On-demand report")->text(), "on demand");
        QCOMPARE(textBox(&dialog, "Input L1")->text(), "");
    }

    void variableCodesChangeNothing()
    {
        SettingsImage image;
        image.setText(slot("SMS", 2), "stored");
        const SettingsImage before = image;
        QString shownCodes;
        QString codesTitle;
        bool codesReadOnly = false;
        bool textKept = false;
        whenModalOpens([&](QWidget* dialog) {
            textBox(dialog, "Input L2")->setText("typed");
            whenModalOpens([&](QWidget* codes) {
                codesTitle = codes->windowTitle();
                auto* text = codes->findChild<QPlainTextEdit*>();
                shownCodes = text->toPlainText();
                codesReadOnly = text->isReadOnly();
                pressOk(codes);
            });
            QTest::mouseClick(variableCodesButton(dialog), Qt::LeftButton);
            whenModalOpens([](QWidget* codes) { QTest::keyClick(codes, Qt::Key_Escape); });
            QTest::mouseClick(variableCodesButton(dialog), Qt::LeftButton);
            textKept = textBox(dialog, "Input L2")->text() == "typed" && dialog->isVisible();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!editMessageBodies(nullptr, image));
        QVERIFY(textKept);
        QVERIFY(image == before);
        QCOMPARE(codesTitle, "Variable codes in SMS / email message body");
        QVERIFY(codesReadOnly);
        QString expected;
        for (const std::string_view line : kVariableCodeLines)
            expected += QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())) + u'\n';
        QCOMPARE(shownCodes, expected);
        QCOMPARE(shownCodes.count(u'\n'), 89);
    }

    void cancelAfterTypingLeavesTheImage()
    {
        SettingsImage image;
        image.bytes().fill(0xFF);
        const SettingsImage before = image;
        whenModalOpens([](QWidget* dialog) {
            QTest::keyClicks(textBox(dialog, "Input L1"), "changed");
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(!editMessageBodies(nullptr, image));
        QVERIFY(image == before);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::MessageBodiesDialogTest)
#include "message_bodies_dialog_test.moc"
