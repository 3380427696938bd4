// The connection settings store when its file is garbage, cannot be read or
// is no file at all: the first-start defaults, without a crash or a wait.
#include "frontend/connection_settings.h"
#include "support/ordinary_user.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace telvor {
namespace {

const ConnectionSettings kDefaults;

class ConnectionStoreFaults : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ::chmod(m_folder.path().toLocal8Bit().constData(), 0755);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
        QDir(m_folder.path()).mkpath("Kardel");
        ::chmod(m_folder.filePath("Kardel").toLocal8Bit().constData(), 0755);
    }

    std::string storePath() const { return m_folder.filePath("Kardel/Telvor.conf").toStdString(); }

    void writeStore(const QByteArray& content) const
    {
        QFile file(QString::fromStdString(storePath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir m_folder;
};

// Loading runs on a thread of its own, so that a load that never returns
// fails the test; a writer is then opened to release a FIFO.
ConnectionSettings loadWithoutHanging(const std::string& storePath)
{
    auto loading = std::async(std::launch::async, [] { return loadConnectionSettings(); });
    if (loading.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return loading.get();
    ADD_FAILURE() << "loading the store does not return";
    const int writer = ::open(storePath.c_str(), O_WRONLY | O_NONBLOCK);
    const ConnectionSettings settings = loading.get();
    ::close(writer);
    return settings;
}

TEST_F(ConnectionStoreFaults, RandomGarbageGivesTheDefaultsOrWhatItNames)
{
    std::mt19937 random(5);
    for (int round = 0; round < 200; ++round) {
        QByteArray garbage(static_cast<qsizetype>(random() % 4096), '\0');
        for (char& byte : garbage)
            byte = static_cast<char>(random());
        if (round % 2)
            garbage.prepend("[General]\nPort_COM=");
        writeStore(garbage);
        const ConnectionSettings settings = loadConnectionSettings();
        EXPECT_LE(settings.ipAddress.size(), kIpAddressMaxLength) << round;
        // What a load gives, a save into a fresh store keeps: a port number
        // outside 0 to 255 included, which comes back as stored.
        ASSERT_TRUE(QFile::remove(QString::fromStdString(storePath()))) << round;
        ASSERT_TRUE(saveConnectionSettings(settings)) << round;
        EXPECT_EQ(loadConnectionSettings(), settings) << round;
    }
}

TEST_F(ConnectionStoreFaults, StoreThatIsAFifoWithoutWriterGivesTheDefaults)
{
    ASSERT_EQ(::mkfifo(storePath().c_str(), 0644), 0);
    EXPECT_EQ(loadWithoutHanging(storePath()), kDefaults);
    EXPECT_FALSE(saveConnectionSettings(kDefaults));
}

TEST_F(ConnectionStoreFaults, StoreThatIsADirectoryGivesTheDefaults)
{
    QDir(m_folder.path()).mkpath("Kardel/Telvor.conf");
    EXPECT_EQ(loadWithoutHanging(storePath()), kDefaults);
}

TEST_F(ConnectionStoreFaults, StoreWithoutReadPermissionGivesTheDefaults)
{
    writeStore("[General]\nPort_COM=7\nTransmisja_TCP=1\nAdres_IP=127.0.0.9\nPort_TCP=2323\n");
    ::chmod(storePath().c_str(), 0);
    test_support::runAsOrdinaryUser([] { EXPECT_EQ(loadConnectionSettings(), kDefaults); });
}

} // namespace
} // namespace telvor
