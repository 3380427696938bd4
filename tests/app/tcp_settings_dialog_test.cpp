// The TCP/IP settings dialog and the "TCP/IP settings" command: OK takes the
// edits, Cancel changes nothing, a port that is no integer keeps the dialog
// open.
#include "modal_answerer.h"
#include "window_test_support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

namespace telvor {

class TcpSettingsDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void dialogShowsTitleCaptionsAndCurrentValues();
    void editing_data();
    void editing();
    void portThatIsNoIntegerKeepsDialogOpen();
    void okWhileComIsChosenKeepsSerialTransport();
    void addressOfAnyCharactersIsTakenAndStored();
};

namespace {

// Types into the dialog's edits and presses one of its buttons.
ModalAnswerer::DialogAnswer typeAndPress(QString address, QString port, QDialogButtonBox::StandardButton press)
{
    return [=](QDialog& dialog) {
        auto& addressEdit = control<QLineEdit>(dialog, "ipAddressEdit");
        auto& portEdit = control<QLineEdit>(dialog, "tcpPortEdit");
        addressEdit.setText(address);
        portEdit.setText(port);
        control<QDialogButtonBox>(dialog, "buttonBox").button(press)->click();
    };
}

} // namespace

void TcpSettingsDialogTest::initTestCase()
{
    QApplication::setOrganizationName(QStringLiteral("Kardel"));
    QApplication::setApplicationName(QStringLiteral("Telvor"));
}

void TcpSettingsDialogTest::init()
{
    QSettings().clear();
}

void TcpSettingsDialogTest::dialogShowsTitleCaptionsAndCurrentValues()
{
    TcpSettingsDialog dialog;
    dialog.setSettings({"127.0.0.1", 2323});
    dialog.showSettings();
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("TCP/IP communication with Telvor"));
    QCOMPARE(control<QLabel>(dialog, "ipAddressLabel").text(), QStringLiteral("IP address for Telvor"));
    QCOMPARE(control<QLabel>(dialog, "tcpPortLabel").text(), QStringLiteral("TCP port number"));
    QCOMPARE(control<QLineEdit>(dialog, "ipAddressEdit").text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(control<QLineEdit>(dialog, "tcpPortEdit").text(), QStringLiteral("2323"));
    const auto& buttons = control<QDialogButtonBox>(dialog, "buttonBox");
    QCOMPARE(buttons.standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

void TcpSettingsDialogTest::editing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expectedAddress");
    QTest::addColumn<int>("expectedPort");
    QTest::newRow("OK takes address and port") << "127.0.0.2"
                                               << "2424" << true << "127.0.0.2" << 2424;
    QTest::newRow("OK takes an address as typed, unchecked") << "device.local"
                                                             << "23" << true << "device.local" << 23;
    QTest::newRow("OK takes an IPv6 address as typed") << "::1"
                                                       << "2323" << true << "::1" << 2323;
    QTest::newRow("OK keeps a blank pasted after the address") << "127.0.0.5 "
                                                               << "23" << true << "127.0.0.5 " << 23;
    QTest::newRow("Cancel keeps the old address and port") << "127.0.0.2"
                                                           << "2424" << false << "192.168.2.1" << 23;
}

void TcpSettingsDialogTest::editing()
{
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(bool, ok);
    QFETCH(QString, expectedAddress);
    QFETCH(int, expectedPort);

    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    QTest::mouseClick(&control<QRadioButton>(test.window, "tcpRadio"), Qt::LeftButton);
    {
        ModalAnswerer answerer(typeAndPress(address, port, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
        QTest::mouseClick(&control<QPushButton>(test.window, "tcpSettingsButton"), Qt::LeftButton);
        QCOMPARE(answerer.dialogsAnswered(), 1);
        QCOMPARE(answerer.messages(), QStringList());
    }
    const TcpSettings& settings = test.window.tcpSettingsDialog().settings();
    QCOMPARE(QString::fromStdString(settings.ipAddress), expectedAddress);
    QCOMPARE(settings.tcpPort, expectedPort);
    QCOMPARE(endpointText(test.link), QStringLiteral("TCP %1:%2").arg(expectedAddress).arg(expectedPort));

    // Opening again shows the values the dialog holds.
    QString shownAddress;
    ModalAnswerer look([&](QDialog& dialog) {
        shownAddress = control<QLineEdit>(dialog, "ipAddressEdit").text();
        dialog.reject();
    });
    QTest::mouseClick(&control<QPushButton>(test.window, "tcpSettingsButton"), Qt::LeftButton);
    QCOMPARE(shownAddress, expectedAddress);
}

void TcpSettingsDialogTest::portThatIsNoIntegerKeepsDialogOpen()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    int round = 0;
    QStringList visibleAfterOk;
    ModalAnswerer answerer([&](QDialog& dialog) {
        if (++round == 1) {
            typeAndPress(QStringLiteral("127.0.0.3"), QStringLiteral("23x"), QDialogButtonBox::Ok)(dialog);
            visibleAfterOk.append(dialog.isVisible() ? "open" : "closed");
        } else {
            typeAndPress(QStringLiteral("127.0.0.3"), QStringLiteral("2525"), QDialogButtonBox::Ok)(dialog);
        }
    });
    QTest::mouseClick(&control<QPushButton>(test.window, "tcpSettingsButton"), Qt::LeftButton);
    QCOMPARE(answerer.messages(), QStringList{"Please enter an integer."});
    QCOMPARE(visibleAfterOk, QStringList{"open"});
    QCOMPARE(test.window.tcpSettingsDialog().settings().tcpPort, 2525);
    // The serial port stays chosen; choosing TCP later uses the new values.
    QCOMPARE(endpointText(test.link), QStringLiteral("COM 1"));
    QTest::mouseClick(&control<QRadioButton>(test.window, "tcpRadio"), Qt::LeftButton);
    QCOMPARE(endpointText(test.link), QStringLiteral("TCP 127.0.0.3:2525"));
}

void TcpSettingsDialogTest::okWhileComIsChosenKeepsSerialTransport()
{
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    ModalAnswerer answerer(typeAndPress(QStringLiteral("127.0.0.4"), QStringLiteral("2626"), QDialogButtonBox::Ok));
    QTest::mouseClick(&control<QPushButton>(test.window, "tcpSettingsButton"), Qt::LeftButton);
    QCOMPARE(endpointText(test.link), QStringLiteral("COM 1"));
    QVERIFY(control<QRadioButton>(test.window, "comRadio").isChecked());
    QTest::mouseClick(&control<QPushButton>(test.window, "exitButton"), Qt::LeftButton);
    QSettings saved;
    QCOMPARE(saved.value("Adres_IP").toString(), QStringLiteral("127.0.0.4"));
    QCOMPARE(saved.value("Port_TCP").toInt(), 2626);
    QCOMPARE(saved.value("Transmisja_TCP").toInt(), 0);
}

void TcpSettingsDialogTest::addressOfAnyCharactersIsTakenAndStored()
{
    const QString typed = QStringLiteral(" \u4e00\u4e8c.example ");
    WindowUnderTest test;
    test.window.initialise({});
    test.window.show();
    {
        ModalAnswerer answerer(typeAndPress(typed, QStringLiteral("23"), QDialogButtonBox::Ok));
        QTest::mouseClick(&control<QPushButton>(test.window, "tcpSettingsButton"), Qt::LeftButton);
        QCOMPARE(answerer.dialogsAnswered(), 1);
        QCOMPARE(answerer.messages(), QStringList());
    }
    QCOMPARE(test.window.tcpSettingsDialog().settings().ipAddress, typed.toStdString());
    QTest::mouseClick(&control<QPushButton>(test.window, "exitButton"), Qt::LeftButton);
    QCOMPARE(QSettings().value("Adres_IP").toString(), typed);
}

} // namespace telvor

QTEST_MAIN(telvor::TcpSettingsDialogTest)
#include "tcp_settings_dialog_test.moc"
