// The device commands from the window against telvor-sim on loopback and
// against serial paths that are no real port: the texts in the status and
// version boxes, the message boxes, and a window that takes no input while
// an operation runs.
#include "modal_answerer.h"
#include "simulator_for_window.h"
#include "window_test_support.h"

#include "frontend/connection_settings.h"
#include "history/history_store.h"
#include "history/image_digest.h"
#include "image/settings_file.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <thread>

namespace telvor {

class DeviceCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void writeToDeviceShowsFullStatusAndVersion();
    void checkDeviceVersionShowsVersion();
    void readFromDeviceFillsWorkingImage();
    void refusedConnectionShowsLanText();
    void slowNameLookupKeepsTheWindowAlive();
    void serialOpenFailureShowsPathAsDetail();
    void portNumberMessagesThenCommandRuns_data();
    void portNumberMessagesThenCommandRuns();
    void storedPortNumberOutsideTheRangeIsShownAndReportedWhenUsed_data();
    void storedPortNumberOutsideTheRangeIsShownAndReportedWhenUsed();
    void lineSettingsWarningShowsAsMessageBox();
    void inputDuringWriteStartsNothingAfterwards();
    void backupBeforeWriteIsRecordedAndNamed();
    void writeWithoutBackupIsRecordedAlone();
    void historyThatCannotBeUsedAddsItsLine();
    void backupThatCannotBeKeptLeavesTheDeviceAlone();

private:
    QString historyPath() const { return m_history->filePath(QStringLiteral("history.sqlite3")); }

    QString m_buildDirectory;
    QTemporaryDir m_noSerialPorts;
    // Each test's own history.
    std::unique_ptr<QTemporaryDir> m_history;
};

namespace {

// Serial device paths in a private folder: no real port is ever opened.
void storeConnection(bool useTcp, int tcpPort, const QString& serialFolder)
{
    ConnectionSettings settings;
    settings.useTcp = useTcp;
    settings.ipAddress = "127.0.0.1";
    settings.tcpPort = tcpPort;
    settings.serialDeviceFormat = (serialFolder + QStringLiteral("/port%d")).toStdString();
    QVERIFY(saveConnectionSettings(settings));
}

QString shownStatus(MainWindow& window)
{
    return control<QPlainTextEdit>(window, "statusEdit").toPlainText();
}

QString shownVersion(MainWindow& window)
{
    return control<QLineEdit>(window, "versionEdit").text();
}

void click(MainWindow& window, const char* button)
{
    QTest::mouseClick(&control<QPushButton>(window, button), Qt::LeftButton);
}

// A fast link for the cases that wait for a silent device.
void shortenTimeLimits(WindowUnderTest& test)
{
    test.link.timing = Timing{}.scaledDown(50);
}

} // namespace

void DeviceCommandsTest::initTestCase()
{
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
    m_buildDirectory = qEnvironmentVariable("TELVOR_BUILD_DIR");
    QVERIFY2(QFile::exists(m_buildDirectory + "/telvor-sim"), "telvor-sim is built beside the tests");
    QVERIFY2(QFile::exists(m_buildDirectory + "/default_en.tvr"), "default_en.tvr is built");
}

void DeviceCommandsTest::init()
{
    QSettings().clear();
    QDir::setCurrent(m_buildDirectory);
    m_history = std::make_unique<QTemporaryDir>();
    qputenv("TELVOR_HISTORY", historyPath().toUtf8());
}

void DeviceCommandsTest::writeToDeviceShowsFullStatusAndVersion()
{
    SimulatorForWindow device;
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QCOMPARE(shownStatus(test.window), QStringLiteral("Default settings loaded from:\ndefault_en.tvr"));

    ModalAnswerer answerer;
    click(test.window, "writeToDeviceButton");

    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window),
             QStringLiteral("Configuration transferred to device,\nverification "
                            "successful.,RTC updated,\ndevice reset."));
    QCOMPARE(shownVersion(test.window), QStringLiteral("v3.6E"));
    QCOMPARE(control<QProgressBar>(test.window, "progressBar").value(), 100);
    QCOMPARE(device.connectionsOpened(), 1);
}

void DeviceCommandsTest::checkDeviceVersionShowsVersion()
{
    SimulatorForWindow device({"--version-text", "v2.8ED"});
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer;
    click(test.window, "checkVersionButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window), QStringLiteral("Firmware version read successful"));
    QCOMPARE(shownVersion(test.window), QStringLiteral("v2.8ED"));
}

void DeviceCommandsTest::readFromDeviceFillsWorkingImage()
{
    const QString defaults = m_buildDirectory + QStringLiteral("/default_en.tvr");
    SimulatorForWindow device({"--image", defaults});
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QVERIFY(test.image == SettingsImage{});

    ModalAnswerer answerer;
    click(test.window, "readFromDeviceButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window), QStringLiteral("Settings read successfully"));
    QCOMPARE(shownVersion(test.window), QStringLiteral("v3.6E"));
    SettingsImage expected;
    const QByteArray bytes = readFile(defaults);
    std::copy(bytes.begin(), bytes.end(), expected.bytes().begin());
    for (const char* key : {"PIN", "NUM1", "TRPT", "SMS1", "ULO1", "ICFG1"}) {
        const Slot slot = *slotByName(key);
        QVERIFY2(test.image.number(slot) == expected.number(slot) && test.image.text(slot) == expected.text(slot), key);
    }
}

void DeviceCommandsTest::refusedConnectionShowsLanText()
{
    int closedPort = 0;
    {
        SimulatorForWindow device;
        QVERIFY(device.listening());
        closedPort = device.port();
    }
    storeConnection(true, closedPort, m_noSerialPorts.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer;
    click(test.window, "writeToDeviceButton");
    const QString text = QStringLiteral("LAN connection (TCP/IP) cannot be established!");
    QCOMPARE(answerer.messages(), QStringList{text});
    QCOMPARE(answerer.details(),
             QStringList{QStringLiteral("Connection to 127.0.0.1 port %1 refused.").arg(closedPort)});
    QCOMPARE(shownStatus(test.window), text);
    QCOMPARE(shownVersion(test.window), QString());
}

// A name server slow to answer holds up neither the window's repainting nor
// its timers; the name that could not be resolved is named under the box.
void DeviceCommandsTest::slowNameLookupKeepsTheWindowAlive()
{
    storeConnection(true, 23, m_noSerialPorts.path());
    QSettings().setValue(QStringLiteral("Adres_IP"), QStringLiteral(" slow.invalid "));
    WindowUnderTest test;
    test.link.hostLookup = [](const std::string&, std::uint16_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        HostAddresses found;
        found.failure = "Name or service not known";
        return found;
    };
    test.window.initialise({});
    test.window.show();
    int ticks = 0;
    QTimer ticking;
    ticking.setInterval(10);
    connect(&ticking, &QTimer::timeout, [&] { ++ticks; });
    ticking.start();
    ModalAnswerer answerer;
    click(test.window, "checkVersionButton");
    ticking.stop();
    const QString text = QStringLiteral("LAN connection (TCP/IP) cannot be established!");
    QCOMPARE(answerer.messages(), QStringList{text});
    QCOMPARE(answerer.details(), QStringList{"Cannot resolve slow.invalid: Name or service not known."});
    QCOMPARE(shownStatus(test.window), text);
    // The window's events are processed at each keep-alive, every 50 ms.
    QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
}

void DeviceCommandsTest::serialOpenFailureShowsPathAsDetail()
{
    storeConnection(false, 23, m_noSerialPorts.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    control<QLineEdit>(test.window, "portNumberEdit").setText(QStringLiteral("4"));
    ModalAnswerer answerer;
    click(test.window, "checkVersionButton");
    QCOMPARE(answerer.messages(), QStringList{"COM4 port open error !"});
    QVERIFY2(answerer.details().constFirst().contains(m_noSerialPorts.filePath(QStringLiteral("port3"))),
             qPrintable(answerer.details().constFirst()));
    QCOMPARE(shownStatus(test.window), QStringLiteral("COM4 port open error !"));
}

void DeviceCommandsTest::portNumberMessagesThenCommandRuns_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("300 runs with port 300")
        << "300" << QStringList{"Please enter an integer between 0 and 255.", "COM300 port open error !"};
    QTest::newRow("letters run with the previous number")
        << "COM" << QStringList{"Please enter an integer.", "COM1 port open error !"};
}

void DeviceCommandsTest::portNumberMessagesThenCommandRuns()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    storeConnection(false, 23, m_noSerialPorts.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    control<QLineEdit>(test.window, "portNumberEdit").setText(typed);
    ModalAnswerer answerer;
    click(test.window, "readFromDeviceButton");
    QCOMPARE(answerer.messages(), messages);
    QCOMPARE(shownStatus(test.window), messages.constLast());
}

void DeviceCommandsTest::storedPortNumberOutsideTheRangeIsShownAndReportedWhenUsed_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("300") << 300
                         << QStringList{"Please enter an integer between 0 and 255.", "COM300 port open error !"};
    QTest::newRow("-1") << -1 << QStringList{"Please enter an integer between 0 and 255.", "COM-1 port open error !"};
}

// As a number typed into the port number box would be.
void DeviceCommandsTest::storedPortNumberOutsideTheRangeIsShownAndReportedWhenUsed()
{
    QFETCH(int, stored);
    QFETCH(QStringList, messages);
    storeConnection(false, 23, m_noSerialPorts.path());
    QSettings().setValue(QStringLiteral("Port_COM"), stored);
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QCOMPARE(control<QLineEdit>(test.window, "portNumberEdit").text(), QString::number(stored));
    ModalAnswerer answerer;
    click(test.window, "checkVersionButton");
    QCOMPARE(answerer.messages(), messages);
    QCOMPARE(shownStatus(test.window), messages.constLast());
}

void DeviceCommandsTest::lineSettingsWarningShowsAsMessageBox()
{
    // A plain file opens like a port, but takes no line settings.
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("port0")), {});
    storeConnection(false, 23, folder.path());
    WindowUnderTest test;
    shortenTimeLimits(test);
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer;
    click(test.window, "checkVersionButton");
    QCOMPARE(answerer.messages(), (QStringList{QStringLiteral("Błąd wpisu timeouts !"), "No answer from device"}));
    QCOMPARE(shownStatus(test.window), QStringLiteral("Connection error (HALT)"));
}

void DeviceCommandsTest::inputDuringWriteStartsNothingAfterwards()
{
    // Every reply a little late, so that the write lasts long enough to be
    // clicked at.
    SimulatorForWindow device({"--latency", "15"});
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    WindowUnderTest test;
    // The window's events are processed between slices of the link's waits;
    // replies this quick fit into slices this short only.
    test.link.timing.keepAliveSlice = Milliseconds(5);
    test.window.initialise({});
    test.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&test.window));
    QPushButton& writeButton = control<QPushButton>(test.window, "writeToDeviceButton");
    QProgressBar& progress = control<QProgressBar>(test.window, "progressBar");

    QList<int> positionsSeen;
    bool clicked = false;
    QStringList enabledDuringWrite;
    QTimer during;
    during.setInterval(5);
    connect(&during, &QTimer::timeout, [&] {
        positionsSeen.append(progress.value());
        if (clicked || progress.value() < 10)
            return;
        clicked = true;
        for (QAbstractButton* button : test.window.findChildren<QAbstractButton*>()) {
            if (button->window() == &test.window && button->isEnabled())
                enabledDuringWrite.append(button->objectName());
        }
        // Input delivered at once, and input queued to be delivered later.
        QTest::mouseClick(&writeButton, Qt::LeftButton);
        const QPointF centre = QRectF(writeButton.rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                &writeButton,
                new QMouseEvent(type, centre, writeButton.mapToGlobal(centre), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
        }
        QCoreApplication::postEvent(&writeButton, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
        QCoreApplication::postEvent(&writeButton,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " "));
        QCoreApplication::postEvent(&test.window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    });
    during.start();
    ModalAnswerer answerer;
    click(test.window, "writeToDeviceButton");
    during.stop();

    QVERIFY(clicked);
    QCOMPARE(enabledDuringWrite, QStringList());
    QVERIFY2(std::any_of(positionsSeen.begin(), positionsSeen.end(), [](int p) { return p > 10 && p < 100; }),
             "the progress bar moved while the device was written");
    QTest::qWait(500);
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(device.connectionsOpened(), 1);
    QVERIFY(test.window.isVisible());
    QVERIFY(writeButton.isEnabled());
    QVERIFY(!control<QPushButton>(test.window, "csdButton").isEnabled());
    QCOMPARE(shownStatus(test.window),
             QStringLiteral("Configuration transferred to device,\nverification "
                            "successful.,RTC updated,\ndevice reset."));
}

void DeviceCommandsTest::backupBeforeWriteIsRecordedAndNamed()
{
    SettingsImage held;
    held.setText(slot("PIN"), "1234");
    const QString heldFile = m_history->filePath(QStringLiteral("held.tvr"));
    QVERIFY(writeSettingsFile(heldFile.toStdString(), held).ok);
    SimulatorForWindow device({"--image", heldFile});
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    QSettings().setValue(QStringLiteral("Backup_Before_Write"), 1);
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    test.image.setText(slot("PIN"), "4321");

    ModalAnswerer answerer;
    click(test.window, "writeToDeviceButton");

    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window),
             QStringLiteral("Backup saved as history entry 1.\nConfiguration transferred to device,\nverification "
                            "successful.,RTC updated,\ndevice reset."));
    QCOMPARE(shownVersion(test.window), QStringLiteral("v3.6E"));
    // The backup is read on the write's own connection.
    QCOMPARE(device.connectionsOpened(), 1);
    HistoryStore store(historyPath().toStdString());
    const std::optional<OperationRecord> write = store.operation(1);
    QVERIFY(write);
    QCOMPARE(write->program, std::string("window"));
    QCOMPARE(write->operation, std::string("write"));
    QCOMPARE(write->target, "tcp:127.0.0.1:" + std::to_string(device.port()));
    QCOMPARE(write->options, std::string("set-clock,reset-device"));
    QCOMPARE(write->outcome, Outcome::Succeeded);
    QCOMPARE(write->images.sent, imageDigest(test.image));
    QCOMPARE(store.image(write->images.backup).text(slot("PIN")), std::string("1234"));
}

void DeviceCommandsTest::writeWithoutBackupIsRecordedAlone()
{
    SimulatorForWindow device;
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer;
    click(test.window, "writeToDeviceButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window),
             QStringLiteral("Configuration transferred to device,\nverification successful.,RTC updated,\ndevice "
                            "reset."));
    const std::vector<OperationRecord> operations = HistoryStore(historyPath().toStdString()).operations();
    QCOMPARE(operations.size(), std::size_t{1});
    QCOMPARE(operations.front().operation, std::string("write"));
    QCOMPARE(operations.front().images.backup, std::string());
    QCOMPARE(operations.front().images.sent, imageDigest(test.image));
}

void DeviceCommandsTest::historyThatCannotBeUsedAddsItsLine()
{
    SimulatorForWindow device;
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    QVERIFY(QDir().mkpath(historyPath()));
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer;
    click(test.window, "checkVersionButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window),
             QStringLiteral("Firmware version read successful\nHistory not recorded: ") + historyPath()
                 + QStringLiteral(": Is a directory"));
    QCOMPARE(shownVersion(test.window), QStringLiteral("v3.6E"));
}

void DeviceCommandsTest::backupThatCannotBeKeptLeavesTheDeviceAlone()
{
    SimulatorForWindow device;
    QVERIFY(device.listening());
    storeConnection(true, device.port(), m_noSerialPorts.path());
    QSettings().setValue(QStringLiteral("Backup_Before_Write"), 1);
    QVERIFY(QDir().mkpath(historyPath()));
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer;
    click(test.window, "writeToDeviceButton");
    QCOMPARE(answerer.messages(), QStringList());
    QCOMPARE(shownStatus(test.window),
             QStringLiteral("History not recorded: ") + historyPath() + QStringLiteral(": Is a directory"));
    QCOMPARE(device.connectionsOpened(), 0);
}

} // namespace telvor

QTEST_MAIN(telvor::DeviceCommandsTest)
#include "device_commands_test.moc"
