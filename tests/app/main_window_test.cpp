// The main window: first start, controls and their states, the serial port
// number's checks, closing and the connection settings it saves, the About
// box.
#include "modal_answerer.h"
#include "window_test_support.h"

#include "app/editor_commands.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

namespace telvor {

class MainWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstStartShowsDefaults_data();
    void firstStartShowsDefaults();
    void controlsHaveTheirCaptionsAndStates();
    void everyControlHasItsOwnAccessibleName();
    void tabOrderFollowsTheForm();
    void portNumberCheck_data();
    void portNumberCheck();
    void portNumberTooltipShowsDevicePath();
    void savedSerialFramingReachesTheLink_data();
    void savedSerialFramingReachesTheLink();
    void escapeLeavesWindowOpen();
    void closingSavesConnectionSettings_data();
    void closingSavesConnectionSettings();
    void closeBoxSavesExactlyLikeExit();
    void tcpChoiceSurvivesRestart();
    void firstStartAddressIsOnlyUsedOnceTcpIsChosen();
    void aboutBoxNamesProgramVersionAndLicence();
    void editorButtonsOpenTheirEditors();

private:
    QString m_startDirectory;
};

namespace {

QMap<QString, QVariant> savedSettings()
{
    QSettings settings;
    QMap<QString, QVariant> values;
    for (const QString& key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

} // namespace

void MainWindowTest::initTestCase()
{
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
    m_startDirectory = QDir::currentPath();
}

void MainWindowTest::init()
{
    QSettings().clear();
    QDir::setCurrent(m_startDirectory);
}

void MainWindowTest::firstStartShowsDefaults_data()
{
    QTest::addColumn<bool>("defaultFilePresent");
    QTest::addColumn<QString>("status");
    QTest::newRow("default file in the current directory")
        << true << QStringLiteral("Default settings loaded from:\ndefault_en.tvr");
    QTest::newRow("no default file") << false << QStringLiteral("File open error:\ndefault_en.tvr");
}

void MainWindowTest::firstStartShowsDefaults()
{
    QFETCH(bool, defaultFilePresent);
    QFETCH(QString, status);
    QTemporaryDir directory;
    QDir::setCurrent(directory.path());
    if (defaultFilePresent)
        writeFile(QStringLiteral("default_en.tvr"), patternImageBytes());

    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();

    QVERIFY(control<QRadioButton>(test.window, "comRadio").isChecked());
    QVERIFY(!control<QRadioButton>(test.window, "tcpRadio").isChecked());
    QCOMPARE(control<QLineEdit>(test.window, "portNumberEdit").text(), QStringLiteral("1"));
    QVERIFY(control<QCheckBox>(test.window, "setClockCheck").isChecked());
    QVERIFY(control<QCheckBox>(test.window, "resetAfterUpdateCheck").isChecked());
    QVERIFY(!control<QCheckBox>(test.window, "resetCountersCheck").isChecked());
    QVERIFY(!control<QCheckBox>(test.window, "eraseLogCheck").isChecked());
    QCOMPARE(control<QLineEdit>(test.window, "versionEdit").text(), QString());
    QCOMPARE(control<QProgressBar>(test.window, "progressBar").value(), 0);
    QCOMPARE(control<QPlainTextEdit>(test.window, "statusEdit").toPlainText(), status);
    QCOMPARE(endpointText(test.link), QStringLiteral("COM 1"));
    const QByteArray image(reinterpret_cast<const char*>(test.image.bytes().data()),
                           static_cast<qsizetype>(kImageSize));
    QCOMPARE(image, defaultFilePresent ? patternImageBytes() : QByteArray(kImageSize, '\0'));
    QCOMPARE(test.window.tcpSettingsDialog().settings().ipAddress, std::string("192.168.2.1"));
    QCOMPARE(test.window.tcpSettingsDialog().settings().tcpPort, 23);
}

void MainWindowTest::controlsHaveTheirCaptionsAndStates()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QCOMPARE(test.window.windowTitle(), QStringLiteral("Telvor configuration software"));
    QVERIFY(!test.window.windowIcon().isNull());

    struct Expected {
        const char* name;
        const char* caption;
        bool visible;
        bool enabled;
    };
    const Expected buttons[] = {
        {"basicSettingsButton", "Basic settings", true, true},
        {"authorizationButton", "Authorization", true, true},
        {"inputsButton", "Inputs (L1...L8)", true, true},
        {"smsMessagesButton", "SMS messages", true, true},
        {"outputsButton", "Outputs (O1...O6)", true, true},
        {"scaledMeasurementsButton", "Scaled measur.", true, true},
        {"csdButton", "CSD", true, false},
        {"internetAccessButton", "Internet access", true, true},
        {"emailMessagesButton", "E-mail messages", true, true},
        {"extendedInputsButton", "Extended inputs (XL)", true, true},
        {"readFromFileButton", "Read from file", true, true},
        {"writeToFileButton", "Write to file", true, true},
        {"checkVersionButton", "Check device version", true, true},
        {"readFromDeviceButton", "Read from device", true, true},
        {"writeToDeviceButton", "Write to device", true, true},
        {"tcpSettingsButton", "TCP/IP settings", true, true},
        {"exitButton", "Exit program", true, true},
        {"cancelButton", "Cancel", false, true},
        {"comRadio", "COM", true, true},
        {"tcpRadio", "TCP/IP", true, true},
        {"com3Radio", "COM3", false, false},
        {"com4Radio", "COM4", false, false},
        {"com5Radio", "COM5", false, false},
        {"com6Radio", "COM6", false, false},
        {"secondTcpRadio", "TCP/IP", false, false},
        {"setClockCheck", "Set RTC clock in device", true, true},
        {"resetAfterUpdateCheck", "RESET device after update", true, true},
        {"resetCountersCheck", "Reset counters", true, true},
        {"eraseLogCheck", "Erase log memory", true, true},
    };
    for (const Expected& expected : buttons) {
        const QAbstractButton& button = control<QAbstractButton>(test.window, expected.name);
        QVERIFY2(button.text() == QString::fromLatin1(expected.caption), expected.name);
        QVERIFY2(button.isVisible() == expected.visible, expected.name);
        QVERIFY2(button.isEnabled() == expected.enabled, expected.name);
    }
    QVERIFY(control<QLineEdit>(test.window, "versionEdit").isReadOnly());
    QVERIFY(control<QPlainTextEdit>(test.window, "statusEdit").isReadOnly());
    QCOMPARE(control<QProgressBar>(test.window, "progressBar").minimum(), 0);
    QCOMPARE(control<QProgressBar>(test.window, "progressBar").maximum(), 100);
    // Enter reaches "Exit program" unless another push button has the focus.
    QVERIFY(control<QPushButton>(test.window, "exitButton").isDefault());
}

void MainWindowTest::everyControlHasItsOwnAccessibleName()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    std::set<QString> names;
    for (QWidget* widget : test.window.findChildren<QWidget*>()) {
        const bool isControl = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget)
            || qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QProgressBar*>(widget);
        // The TCP/IP settings dialog is a child too, with controls of its own.
        if (!isControl || widget->window() != &test.window)
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible != nullptr);
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(names.insert(name).second, qPrintable(name));
    }
}

void MainWindowTest::tabOrderFollowsTheForm()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&test.window));
    const QStringList expected = {
        "basicSettingsButton",
        "authorizationButton",
        "inputsButton",
        "smsMessagesButton",
        "outputsButton",
        "scaledMeasurementsButton",
        "internetAccessButton",
        "emailMessagesButton",
        "extendedInputsButton",
        "readFromFileButton",
        "writeToFileButton",
        "checkVersionButton",
        "readFromDeviceButton",
        "writeToDeviceButton",
        "tcpSettingsButton",
        "exitButton",
        "comRadio",
        "portNumberEdit",
        "versionEdit",
        "setClockCheck",
        "resetCountersCheck",
        "eraseLogCheck",
        "resetAfterUpdateCheck",
        "statusEdit",
    };
    control<QPushButton>(test.window, "basicSettingsButton").setFocus();
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
}

void MainWindowTest::portNumberCheck_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("expectedPortNumber");
    QTest::newRow("port 5 is taken silently") << "5" << QStringList() << 5;
    QTest::newRow("blanks around the number are allowed") << " 7 " << QStringList() << 7;
    QTest::newRow("0 is the lowest port number") << "0" << QStringList() << 0;
    QTest::newRow("255 is the highest port number") << "255" << QStringList() << 255;
    QTest::newRow("300 is kept as typed after the range message")
        << "300" << QStringList{"Please enter an integer between 0 and 255."} << 300;
    QTest::newRow("-1 is kept as typed after the range message")
        << "-1" << QStringList{"Please enter an integer between 0 and 255."} << -1;
    QTest::newRow("letters keep the previous number") << "abc" << QStringList{"Please enter an integer."} << 1;
    QTest::newRow("an empty box keeps the previous number") << "" << QStringList{"Please enter an integer."} << 1;
    QTest::newRow("a number beyond int keeps the previous number")
        << "99999999999" << QStringList{"Please enter an integer."} << 1;
}

void MainWindowTest::portNumberCheck()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(int, expectedPortNumber);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("a.tvr"));
    writeFile(path, patternImageBytes());

    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    test.fileChooser.pathToRead = path;
    QLineEdit& portNumberEdit = control<QLineEdit>(test.window, "portNumberEdit");
    portNumberEdit.clear();
    QTest::keyClicks(&portNumberEdit, typed);

    // The command that takes the values in goes on after the message.
    ModalAnswerer answerer;
    QTest::mouseClick(&control<QPushButton>(test.window, "readFromFileButton"), Qt::LeftButton);
    QCOMPARE(answerer.messages(), messages);
    QCOMPARE(test.fileChooser.readDialogs, 1);
    QCOMPARE(control<QPlainTextEdit>(test.window, "statusEdit").toPlainText(),
             QStringLiteral("Configuration loaded from:\na.tvr"));
    QCOMPARE(test.window.serialPortNumber(), expectedPortNumber);
    QCOMPARE(portNumberEdit.text(), QString::number(test.window.serialPortNumber()));
}

void MainWindowTest::portNumberTooltipShowsDevicePath()
{
    QSettings().setValue(QStringLiteral("Serial_Device_Format"), QStringLiteral("/dev/ttyUSB%d"));
    WindowUnderTest test;
    test.window.initialise({});
    QLineEdit& portNumber = control<QLineEdit>(test.window, "portNumberEdit");
    QCOMPARE(portNumber.toolTip(), QStringLiteral("COM1 = /dev/ttyUSB0"));
    portNumber.setText(QStringLiteral("12"));
    QCOMPARE(portNumber.toolTip(), QStringLiteral("COM12 = /dev/ttyUSB11"));
    portNumber.setText(QStringLiteral("0"));
    QCOMPARE(portNumber.toolTip(), QStringLiteral("No serial device has this number (1 to 255)"));
}

void MainWindowTest::savedSerialFramingReachesTheLink_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("strict");
    QTest::newRow("nothing stored: content framing") << QVariant() << false;
    QTest::newRow("content framing stored") << QVariant(0) << false;
    QTest::newRow("strict framing stored") << QVariant(1) << true;
}

// The choice survives closing untouched, since the window offers no control
// for it.
void MainWindowTest::savedSerialFramingReachesTheLink()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, strict);
    if (stored.isValid())
        QSettings().setValue(QStringLiteral("Serial_Strict_Timing"), stored);
    WindowUnderTest test;
    test.link.strictSerialTiming = !strict;
    test.window.initialise({});
    QCOMPARE(test.link.strictSerialTiming, strict);
    test.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&test.window));
    QTest::mouseClick(&control<QPushButton>(test.window, "exitButton"), Qt::LeftButton);
    QCOMPARE(savedSettings().value("Serial_Strict_Timing").toInt(), strict ? 1 : 0);
}

void MainWindowTest::escapeLeavesWindowOpen()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&test.window));
    const QMap<QString, QVariant> before = savedSettings();
    for (const char* focus : {"basicSettingsButton", "portNumberEdit", "statusEdit", "comRadio"}) {
        control<QWidget>(test.window, focus).setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY2(test.window.isVisible(), focus);
    }
    QCOMPARE(savedSettings(), before);
}

void MainWindowTest::closingSavesConnectionSettings_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Exit program") << "exit";
    QTest::newRow("Enter key") << "enter";
    QTest::newRow("close box") << "close";
    QTest::newRow("hidden Cancel") << "cancel";
}

void MainWindowTest::closingSavesConnectionSettings()
{
    QFETCH(QString, how);
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&test.window));
    // A port number typed and never used by a device command is saved too.
    QLineEdit& portNumber = control<QLineEdit>(test.window, "portNumberEdit");
    portNumber.clear();
    QTest::keyClicks(&portNumber, QStringLiteral("17"));
    QTest::mouseClick(&control<QRadioButton>(test.window, "tcpRadio"), Qt::LeftButton);

    if (how == "exit") {
        QTest::mouseClick(&control<QPushButton>(test.window, "exitButton"), Qt::LeftButton);
    } else if (how == "enter") {
        portNumber.setFocus();
        QTest::keyClick(&portNumber, Qt::Key_Return);
    } else if (how == "close") {
        QVERIFY(test.window.close());
    } else {
        control<QPushButton>(test.window, "cancelButton").click();
    }

    QVERIFY(!test.window.isVisible());
    const QMap<QString, QVariant> saved = savedSettings();
    QCOMPARE(saved.value("Port_COM").toInt(), 17);
    QCOMPARE(saved.value("Transmisja_TCP").toInt(), 1);
    QCOMPARE(saved.value("Adres_IP").toString(), QStringLiteral("192.168.2.1"));
    QCOMPARE(saved.value("Port_TCP").toInt(), 23);
}

void MainWindowTest::closeBoxSavesExactlyLikeExit()
{
    const auto closeWith = [](const char* how) {
        QSettings().clear();
        WindowUnderTest test;
        test.window.initialise({});
        test.window.show();
        control<QLineEdit>(test.window, "portNumberEdit").setText(QStringLiteral("4"));
        if (std::strcmp(how, "exit") == 0)
            QTest::mouseClick(&control<QPushButton>(test.window, "exitButton"), Qt::LeftButton);
        else
            test.window.close();
        return savedSettings();
    };
    const QMap<QString, QVariant> afterExit = closeWith("exit");
    const QMap<QString, QVariant> afterCloseBox = closeWith("close");
    QVERIFY(!afterExit.isEmpty());
    QCOMPARE(afterCloseBox, afterExit);
}

void MainWindowTest::tcpChoiceSurvivesRestart()
{
    {
        WindowUnderTest first;
        first.window.initialise({});
        first.window.show();
        first.window.tcpSettingsDialog().setSettings({"127.0.0.1", 2323});
        QTest::mouseClick(&control<QRadioButton>(first.window, "tcpRadio"), Qt::LeftButton);
        QTest::mouseClick(&control<QPushButton>(first.window, "exitButton"), Qt::LeftButton);
    }
    WindowUnderTest second;
    second.window.initialise({});
    second.window.show();
    QVERIFY(control<QRadioButton>(second.window, "tcpRadio").isChecked());
    QVERIFY(!control<QRadioButton>(second.window, "comRadio").isChecked());
    QCOMPARE(endpointText(second.link), QStringLiteral("TCP 127.0.0.1:2323"));
}

void MainWindowTest::firstStartAddressIsOnlyUsedOnceTcpIsChosen()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    test.window.tcpSettingsDialog().setSettings({"127.0.0.9", 4000});
    QCOMPARE(endpointText(test.link), QStringLiteral("COM 1"));
    QTest::mouseClick(&control<QRadioButton>(test.window, "tcpRadio"), Qt::LeftButton);
    QCOMPARE(endpointText(test.link), QStringLiteral("TCP 127.0.0.9:4000"));
    QTest::mouseClick(&control<QRadioButton>(test.window, "comRadio"), Qt::LeftButton);
    QCOMPARE(endpointText(test.link), QStringLiteral("COM 1"));
}

void MainWindowTest::aboutBoxNamesProgramVersionAndLicence()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&test.window));
    ModalAnswerer answerer;
    QTest::keyClick(&test.window, Qt::Key_F1);
    QCOMPARE(answerer.messages().size(), 1);
    const QString about = answerer.messages().constFirst();
    QVERIFY2(about.contains(QStringLiteral("Telvor configuration software")), qPrintable(about));
    QVERIFY2(about.contains(QStringLiteral("Version " TELVOR_VERSION)), qPrintable(about));
    QVERIFY2(about.contains(QStringLiteral("MIT")), qPrintable(about));
    QVERIFY(test.window.actions().size() == 1);
    QCOMPARE(test.window.actions().constFirst()->text(), QStringLiteral("&About ..."));
    QCOMPARE(test.window.contextMenuPolicy(), Qt::ActionsContextMenu);
}

void MainWindowTest::editorButtonsOpenTheirEditors()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    const SettingsImage before = test.image;
    QStringList titles;
    for (const EditorCommand& command : kEditorCommands) {
        QPushButton& button = control<QPushButton>(test.window, command.buttonName);
        if (!button.isEnabled())
            continue;
        QString title;
        ModalAnswerer answerer([&](QDialog& editor) {
            title = editor.windowTitle();
            editor.reject();
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY2(answerer.dialogsAnswered() == 1, command.buttonName);
        QVERIFY2(!title.isEmpty() && title != test.window.windowTitle(), command.buttonName);
        titles.append(title);
    }
    // Every enabled button of "Device settings" opens an editor of its own.
    QCOMPARE(titles.size(), 9);
    QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), titles.size());
    QVERIFY(test.image == before);
}

} // namespace telvor

QTEST_MAIN(telvor::MainWindowTest)
#include "main_window_test.moc"
