#include "frontend/connection_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QString>

#include <limits>

namespace telvor {

namespace {

constexpr const char* kOrganisation = "Kardel";
constexpr const char* kApplication = "Telvor";

constexpr const char* kPortComKey = "Port_COM";
constexpr const char* kTransportKey = "Transmisja_TCP";
constexpr const char* kAddressKey = "Adres_IP";
constexpr const char* kPortTcpKey = "Port_TCP";
constexpr const char* kDeviceFormatKey = "Serial_Device_Format";
constexpr const char* kStrictTimingKey = "Serial_Strict_Timing";
constexpr const char* kBackupKey = "Backup_Before_Write";

// A number too large for an int is no number: Qt would cut it to its low
// bits and call that a success.
int numberOr(const QSettings& store, const char* key, int fallback)
{
    bool ok = false;
    const qlonglong number = store.value(key).toLongLong(&ok);
    return ok && number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()
        ? static_cast<int>(number)
        : fallback;
}

// A switch stored as 0 or 1; any other value keeps the default.
bool switchOr(const QSettings& store, const char* key, bool fallback)
{
    const int value = numberOr(store, key, fallback ? 1 : 0);
    return value == 0 || value == 1 ? value == 1 : fallback;
}

std::string textOr(const QSettings& store, const char* key, const std::string& fallback)
{
    const QVariant value = store.value(key);
    if (value.typeId() != QMetaType::QString)
        return fallback;
    return value.toString().toStdString();
}

std::string shortenedAddress(const std::string& address)
{
    return QString::fromStdString(address).left(static_cast<qsizetype>(kIpAddressMaxLength)).toStdString();
}

// QSettings opens its file as soon as it is made, and opening a FIFO waits
// for a writer for ever, so the user's store is looked at first: a name
// that exists but is no regular file cannot be a store. The organisation's
// own store, which Qt reads as a fallback of the application's anyway, tells
// in which folder the application's file lies.
bool userStoreIsUsable()
{
    const QSettings organisationStore(QSettings::NativeFormat, QSettings::UserScope, kOrganisation);
    const QFileInfo organisationFile(organisationStore.fileName());
    const QFileInfo storeFile(
        QDir(organisationFile.absolutePath())
            .filePath(QString(kOrganisation) + "/" + kApplication + "." + organisationFile.suffix()));
    return !storeFile.exists() || storeFile.isFile();
}

} // namespace

ConnectionSettings loadConnectionSettings()
{
    if (!userStoreIsUsable())
        return {};
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    return loadConnectionSettings(store);
}

ConnectionSettings loadConnectionSettings(QSettings& store)
{
    const ConnectionSettings defaults;
    ConnectionSettings settings;
    settings.serialPortNumber = numberOr(store, kPortComKey, defaults.serialPortNumber);
    settings.useTcp = numberOr(store, kTransportKey, defaults.useTcp ? 1 : 0) != 0;
    settings.ipAddress = shortenedAddress(textOr(store, kAddressKey, defaults.ipAddress));
    settings.tcpPort = numberOr(store, kPortTcpKey, defaults.tcpPort);
    settings.serialDeviceFormat = textOr(store, kDeviceFormatKey, defaults.serialDeviceFormat);
    settings.strictSerialTiming = switchOr(store, kStrictTimingKey, defaults.strictSerialTiming);
    settings.backupBeforeWrite = switchOr(store, kBackupKey, defaults.backupBeforeWrite);
    if (store.status() != QSettings::NoError)
        return defaults;
    return settings;
}

std::string connectionSettingsFile()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication)
        .fileName()
        .toStdString();
}

bool saveConnectionSettings(const ConnectionSettings& settings)
{
    if (!userStoreIsUsable())
        return false;
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
    return saveConnectionSettings(settings, store);
}

bool saveConnectionSettings(const ConnectionSettings& settings, QSettings& store)
{
    store.setValue(kPortComKey, settings.serialPortNumber);
    store.setValue(kPortTcpKey, settings.tcpPort);
    store.setValue(kAddressKey, QString::fromStdString(shortenedAddress(settings.ipAddress)));
    store.setValue(kTransportKey, settings.useTcp ? 1 : 0);
    store.setValue(kDeviceFormatKey, QString::fromStdString(settings.serialDeviceFormat));
    store.setValue(kStrictTimingKey, settings.strictSerialTiming ? 1 : 0);
    store.setValue(kBackupKey, settings.backupBeforeWrite ? 1 : 0);
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace telvor
