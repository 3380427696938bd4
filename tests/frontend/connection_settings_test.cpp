// The connection settings store, in a configuration folder of the test's
// own: never the user's.
#include "frontend/connection_settings.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace telvor {

void PrintTo(const ConnectionSettings& settings, std::ostream* out)
{
    *out << "{port " << settings.serialPortNumber << ", tcp " << settings.useTcp << ", " << settings.ipAddress << ":"
         << settings.tcpPort << ", " << settings.serialDeviceFormat << ", strict " << settings.strictSerialTiming
         << ", backup " << settings.backupBeforeWrite << "}";
}

namespace {

class ConnectionSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
    }

    QString storePath() const { return m_folder.filePath("Kardel/Telvor.conf"); }

    void writeStore(const QByteArray& content) const
    {
        QDir(m_folder.path()).mkpath("Kardel");
        QFile file(storePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray storeContent() const
    {
        QFile file(storePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
};

TEST_F(ConnectionSettingsTest, FirstStartGivesTheDefaults)
{
    const ConnectionSettings settings = loadConnectionSettings();
    EXPECT_EQ(settings.serialPortNumber, 1);
    EXPECT_FALSE(settings.useTcp);
    EXPECT_EQ(settings.ipAddress, "192.168.2.1");
    EXPECT_EQ(settings.tcpPort, 23);
    EXPECT_EQ(settings.serialDeviceFormat, "/dev/ttyS%d");
    EXPECT_FALSE(settings.strictSerialTiming);
    EXPECT_FALSE(settings.backupBeforeWrite);
}

TEST_F(ConnectionSettingsTest, SavedValuesAreWrittenToTheUsersStoreAndReadBack)
{
    const ConnectionSettings saved{7, true, "10.1.2.3", 2023, "/dev/ttyUSB%d", true, true};
    ASSERT_TRUE(saveConnectionSettings(saved));
    EXPECT_EQ(storeContent(),
              "[General]\n"
              "Adres_IP=10.1.2.3\n"
              "Backup_Before_Write=1\n"
              "Port_COM=7\n"
              "Port_TCP=2023\n"
              "Serial_Device_Format=/dev/ttyUSB%d\n"
              "Serial_Strict_Timing=1\n"
              "Transmisja_TCP=1\n");
    EXPECT_EQ(loadConnectionSettings(), saved);
}

TEST_F(ConnectionSettingsTest, LongAddressIsCutTo255Characters)
{
    ConnectionSettings saved;
    saved.ipAddress = std::string(300, '9');
    ASSERT_TRUE(saveConnectionSettings(saved));
    EXPECT_EQ(loadConnectionSettings().ipAddress, std::string(255, '9'));
    writeStore("[General]\nAdres_IP=" + QByteArray(400, '1') + "\n");
    EXPECT_EQ(loadConnectionSettings().ipAddress, std::string(255, '1'));
}

struct StoredCase {
    const char* name;
    QByteArray content;
    ConnectionSettings expected;
};

class StoredValuesTest : public ConnectionSettingsTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValuesTest, GiveWhatIsStoredOrTheirDefaults)
{
    writeStore(GetParam().content);
    EXPECT_EQ(loadConnectionSettings(), GetParam().expected);
}

const ConnectionSettings kDefaults;

ConnectionSettings withPort(int port)
{
    ConnectionSettings settings;
    settings.serialPortNumber = port;
    return settings;
}

ConnectionSettings withTcp(int tcpPort)
{
    ConnectionSettings settings;
    settings.useTcp = true;
    settings.tcpPort = tcpPort;
    return settings;
}

ConnectionSettings withStrictTiming()
{
    ConnectionSettings settings;
    settings.strictSerialTiming = true;
    return settings;
}

ConnectionSettings withBackupBeforeWrite()
{
    ConnectionSettings settings;
    settings.backupBeforeWrite = true;
    return settings;
}

constexpr char kGarbage[] = "\x00\xFF\x13[[=\n=\xC3\x28\n";

INSTANTIATE_TEST_SUITE_P(
    Stores, StoredValuesTest,
    ::testing::Values(
        StoredCase{"EmptyFile", "", kDefaults}, StoredCase{"OtherValuesOnly", "[General]\nSomething=1\n", kDefaults},
        StoredCase{"PortZeroIsKept", "[General]\nPort_COM=0\n", withPort(0)},
        StoredCase{"HighestPort", "[General]\nPort_COM=255\n", withPort(255)},
        StoredCase{"PortAboveRangeComesBackAsStored", "[General]\nPort_COM=256\n", withPort(256)},
        StoredCase{"NegativePortComesBackAsStored", "[General]\nPort_COM=-1\n", withPort(-1)},
        StoredCase{"PortNotANumber", "[General]\nPort_COM=COM3\n", kDefaults},
        StoredCase{"PortTooLargeForAnInteger", "[General]\nPort_COM=99999999999\n", kDefaults},
        StoredCase{"PortJustTooLargeForAnInteger", "[General]\nPort_COM=2147483648\n", kDefaults},
        StoredCase{"TcpPortTooLargeForAnInteger", "[General]\nTransmisja_TCP=1\nPort_TCP=4294967319\n", withTcp(23)},
        StoredCase{"AnyNonZeroTransportIsTcp", "[General]\nTransmisja_TCP=5\nPort_TCP=8023\n", withTcp(8023)},
        StoredCase{"TransportNotANumber", "[General]\nTransmisja_TCP=yes\n", kDefaults},
        StoredCase{"TcpPortNotANumber", "[General]\nTransmisja_TCP=1\nPort_TCP=telnet\n", withTcp(23)},
        StoredCase{"StrictTiming", "[General]\nSerial_Strict_Timing=1\n", withStrictTiming()},
        StoredCase{"ContentTiming", "[General]\nSerial_Strict_Timing=0\n", kDefaults},
        StoredCase{"StrictTimingOutOfRange", "[General]\nSerial_Strict_Timing=2\n", kDefaults},
        StoredCase{"StrictTimingNotANumber", "[General]\nSerial_Strict_Timing=true\n", kDefaults},
        StoredCase{"BackupBeforeWrite", "[General]\nBackup_Before_Write=1\n", withBackupBeforeWrite()},
        StoredCase{"NoBackupBeforeWrite", "[General]\nBackup_Before_Write=0\n", kDefaults},
        StoredCase{"BackupBeforeWriteOutOfRange", "[General]\nBackup_Before_Write=2\n", kDefaults},
        StoredCase{"AddressThatIsAList", "[General]\nAdres_IP=1.2.3.4, 5.6.7.8\n", kDefaults},
        StoredCase{"BinaryGarbage", QByteArray(kGarbage, sizeof kGarbage - 1), kDefaults},
        StoredCase{"UnclosedSection", "[General\nPort_COM=4\n", kDefaults}),
    test_support::RowName());

TEST_F(ConnectionSettingsTest, StoreThatCannotBeReadGivesTheDefaults)
{
    QDir(m_folder.path()).mkpath("Kardel/Telvor.conf");
    EXPECT_EQ(loadConnectionSettings(), kDefaults);
    EXPECT_FALSE(saveConnectionSettings(withPort(9)));
}

TEST_F(ConnectionSettingsTest, StoreGivenByTheCallerIsUsed)
{
    const QString path = m_folder.filePath("own.ini");
    {
        QSettings store(path, QSettings::IniFormat);
        ASSERT_TRUE(saveConnectionSettings(withTcp(10023), store));
    }
    QSettings store(path, QSettings::IniFormat);
    EXPECT_EQ(loadConnectionSettings(store), withTcp(10023));
    EXPECT_FALSE(QFile::exists(storePath()));
}

} // namespace
} // namespace telvor
