#include "history_test_support.h"

#include "support/recording_surface.h"
#include "support/simulated_device.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

namespace telvor::test_support {

namespace {

constexpr uid_t kUnprivilegedUser = 65534;
constexpr gid_t kUnprivilegedGroup = 65534;

bool dropToUnprivilegedUser()
{
    if (::geteuid() != 0)
        return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kUnprivilegedGroup) == 0 && ::setuid(kUnprivilegedUser) == 0;
}

} // namespace

void HistoryFolderTest::SetUp()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    m_folder = std::filesystem::temp_directory_path() / ("telvor-history-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    std::filesystem::permissions(m_folder, std::filesystem::perms::all);
}

void HistoryFolderTest::TearDown()
{
    std::error_code ignored;
    std::filesystem::permissions(m_folder, std::filesystem::perms::all, ignored);
    std::filesystem::remove_all(m_folder, ignored);
}

std::string integrityOf(const std::string& database)
{
    SQLite::Database opened(database, SQLite::OPEN_READONLY);
    return opened.execAndGet("PRAGMA integrity_check").getString();
}

long long countOf(const std::string& database, const std::string& query)
{
    SQLite::Database opened(database, SQLite::OPEN_READONLY);
    return opened.execAndGet(query).getInt64();
}

RecordedResult recordedOnPort(OperationKind kind, int port, const HistoryRecorder& recorder)
{
    SettingsImage working;
    SettingsImage verification;
    FirmwareVersion firmware;
    DeviceLink link;
    link.endpoint = TcpEndpoint{"127.0.0.1", static_cast<std::uint16_t>(port)};
    RecordingSurface surface;
    return runRecorded(kind, {working, verification, firmware, link, surface}, recorder);
}

SettingsImage readFromDeviceHolding(const SettingsImage& deviceImage)
{
    SimulatedDevice reader(deviceImage);
    EXPECT_TRUE(reader.operations.readFromDevice());
    return reader.working;
}

std::string inUnprivilegedChild(const std::function<std::string()>& body)
{
    int answer[2];
    if (::pipe(answer) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(answer[0]);
        // Whatever happens, the child must not go on to run the parent's tests.
        std::string text;
        try {
            text = dropToUnprivilegedUser() ? body() : "cannot drop to the unprivileged user";
        } catch (const std::exception& error) {
            text = std::string("exception: ") + error.what();
        }
        const bool written = ::write(answer[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(answer[1]);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(answer[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(answer[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child ended without an answer";
    return text;
}

} // namespace telvor::test_support
