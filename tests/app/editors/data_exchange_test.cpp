#include "app/editors/editor_dialog.h"
#include "modal_answer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtTest>

#include <climits>

namespace telvor {
namespace {

struct Members {
    std::string name;
    int count = 0;
    int active = 0;
    int level = 0;
    std::string remark;
};

// One control of each kind, bound in the order name, count, active, level,
// remark.
class SampleDialog final : public EditorDialog {
public:
    explicit SampleDialog(Members& members)
        : EditorDialog(nullptr)
    {
        setWindowTitle("Sample");
        auto* layout = new QVBoxLayout(this);
        for (QWidget* control : {static_cast<QWidget*>(name), static_cast<QWidget*>(count),
                                 static_cast<QWidget*>(active), static_cast<QWidget*>(low), static_cast<QWidget*>(high),
                                 static_cast<QWidget*>(remark), static_cast<QWidget*>(buttons)})
            layout->addWidget(control);
        name->setAccessibleName("Name");
        count->setAccessibleName("Count");
        remark->setAccessibleName("Remark");
        exchange().text(name, members.name, 4);
        exchange().number(count, members.count, -5, 255);
        exchange().check(active, members.active);
        exchange().radio({low, high}, members.level);
        exchange().text(remark, members.remark);
        connectButtons(buttons);
        exchange().fill();
    }

    QLineEdit* name = new QLineEdit;
    QLineEdit* count = new QLineEdit;
    QCheckBox* active = new QCheckBox("active");
    QRadioButton* low = new QRadioButton("low");
    QRadioButton* high = new QRadioButton("high");
    QLineEdit* remark = new QLineEdit;
    QDialogButtonBox* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
};

} // namespace

class DataExchangeTest final : public QObject {
    Q_OBJECT

private slots:

    void fillShowsTheMembers()
    {
        Members members{"\xA3\xF3"
                        "d\x9F",
                        42, 1, 1, "x"};
        SampleDialog dialog(members);
        QCOMPARE(dialog.name->text(), QString::fromUtf8("Łódź"));
        QCOMPARE(dialog.count->text(), "42");
        QVERIFY(dialog.active->isChecked());
        QVERIFY(!dialog.low->isChecked());
        QVERIFY(dialog.high->isChecked());
        QCOMPARE(dialog.remark->text(), "x");
    }

    void radioGroupWithoutChoiceReadsMinusOne()
    {
        Members members{"", 0, 0, 5, ""};
        SampleDialog dialog(members);
        QVERIFY(!dialog.low->isChecked());
        QVERIFY(!dialog.high->isChecked());
        dialog.accept();
        QCOMPARE(members.level, -1);
    }

    void textBeyondTheLimitIsRefusedOnOk()
    {
        Members members{"old", 7, 0, 0, "old"};
        SampleDialog dialog(members);
        dialog.show();
        // Only a box whose typing limit was lifted can hold such a text.
        dialog.name->setMaxLength(32767);
        dialog.name->setText("abcde");
        const ModalBox box = answerModalBox([&] { dialog.accept(); });
        QCOMPARE(box.text, "Please enter no more than 4 characters.");
        QCOMPARE(members.name, "old");
        QCOMPARE(dialog.focusWidget(), dialog.name);
        QCOMPARE(dialog.name->selectedText(), "abcde");
    }

    void limitedBoxRefusesTypingBeyondItsLimit()
    {
        Members members;
        SampleDialog dialog(members);
        QTest::keyClicks(dialog.name, "abcdef");
        QCOMPARE(dialog.name->text(), "abcd");
        QTest::keyClicks(dialog.count, "x1y");
        QCOMPARE(dialog.count->text(), "0x1y");
    }

    void okReadsEveryControl()
    {
        Members members;
        SampleDialog dialog(members);
        dialog.show();
        dialog.name->setText(QString::fromUtf8("żółw"));
        dialog.count->setText(" -5 pieces");
        dialog.active->setChecked(true);
        dialog.high->setChecked(true);
        dialog.remark->setText(QString(300, u'r'));
        const ModalBox box = answerModalBox([&] { dialog.accept(); });
        QVERIFY(!box.shown);
        QCOMPARE(dialog.result(), QDialog::Accepted);
        QCOMPARE(members.name, "\xBF\xF3\xB3w");
        QCOMPARE(members.count, -5);
        QCOMPARE(members.active, 1);
        QCOMPARE(members.level, 1);
        QCOMPARE(members.remark, std::string(300, 'r'));
    }

    void refusalsStopAtTheFirstBadControl_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<std::string>("nameKept");
        QTest::newRow("number above the range") << "ab"
                                                << "256"
                                                << "Please enter an integer between -5 and 255."
                                                << "Count" << std::string("ab");
        QTest::newRow("number below the range") << "ab"
                                                << "-6"
                                                << "Please enter an integer between -5 and 255."
                                                << "Count" << std::string("ab");
        QTest::newRow("no number") << "ab"
                                   << "x12"
                                   << "Please enter an integer."
                                   << "Count" << std::string("ab");
        QTest::newRow("character Windows-1250 lacks, read first")
            << QString::fromUtf8("aЖ") << "x"
            << QString::fromUtf8("The box \"Name\" holds the character \"Ж\", which the device "
                                 "cannot store. Please replace or remove it.")
            << "Name" << std::string("old");
    }

    void refusalsStopAtTheFirstBadControl()
    {
        QFETCH(QString, name);
        QFETCH(QString, count);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        QFETCH(std::string, nameKept);
        Members members{"old", 7, 0, 0, "old"};
        SampleDialog dialog(members);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.name->setText(name);
        dialog.count->setText(count);
        dialog.active->setChecked(true);
        const ModalBox box
            = answerModalBox([&] { QTest::mouseClick(dialog.buttons->button(QDialogButtonBox::Ok), Qt::LeftButton); });
        QVERIFY(box.shown);
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.text, message);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget()->accessibleName(), focused);
        QCOMPARE(members.name, nameKept);
        QCOMPARE(members.count, 7);
        QCOMPARE(members.active, 0);
        QCOMPARE(members.remark, "old");
    }

    void cancelReadsNothing()
    {
        Members members{"old", 7, 0, 0, "old"};
        SampleDialog dialog(members);
        dialog.show();
        QTest::keyClicks(dialog.name, "x");
        dialog.count->setText("9");
        QTest::mouseClick(dialog.buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        QCOMPARE(dialog.result(), QDialog::Rejected);
        QCOMPARE(members.name, "old");
        QCOMPARE(members.count, 7);
    }
};

} // namespace telvor

QTEST_MAIN(telvor::DataExchangeTest)
#include "data_exchange_test.moc"
