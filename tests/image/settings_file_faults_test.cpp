// Settings files under faults: saves cut short by a dying process, and names
// that are not regular files or cannot be read.
#include "image/settings_file.h"
#include "support/ordinary_user.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

using FileContent = std::vector<std::uint8_t>;

SettingsImage patternImage(std::uint8_t seed)
{
    SettingsImage image;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        image.bytes()[offset] = static_cast<std::uint8_t>(offset * 13 + seed);
    return image;
}

FileContent contentOf(const SettingsImage& image)
{
    return FileContent(image.bytes().begin(), image.bytes().end());
}

FileContent contentOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return FileContent(std::istreambuf_iterator<char>(file), {});
}

// Runs `body` in a child process and gives its wait status.
template <typename Body>
int statusOfChild(Body body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

class SettingsFileFaults : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path()
            / ("telvor-file-faults-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
        fs::permissions(m_directory,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read
                            | fs::perms::others_exec);
    }
    void TearDown() override { fs::remove_all(m_directory); }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }

    // Every entry but the target must be a temporary file of a save that
    // died: a hidden name beside it ending in ".tmp".
    void expectOnlyTargetAndTemporaries(const std::string& target) const
    {
        for (const auto& entry : fs::directory_iterator(m_directory)) {
            const std::string name = entry.path().filename().string();
            if (name == target)
                continue;
            EXPECT_TRUE(name.starts_with(".telvor-") && name.ends_with(".tmp")) << name;
        }
    }

    fs::path m_directory;
};

// The file size limit kills the saving process when its write passes
// `limit` bytes, at every stretch of the new file in turn.
TEST_F(SettingsFileFaults, SaveKilledAtAnyByteLeavesThePreviousFile)
{
    const SettingsImage previous = patternImage(11);
    const SettingsImage next = patternImage(200);
    ASSERT_TRUE(writeSettingsFile(path("k.tvr"), previous).ok);

    std::vector<rlim_t> limits;
    for (rlim_t limit = 0; limit < kImageSize; limit += 61)
        limits.push_back(limit);
    limits.insert(limits.end(), {1, 2, 511, 512, 513, kImageSize - 2, kImageSize - 1});
    for (const rlim_t limit : limits) {
        const int status = statusOfChild([&] {
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limited{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &limited);
            writeSettingsFile(path("k.tvr"), next);
            return 0;
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << "limit " << limit;
        EXPECT_EQ(WTERMSIG(status), SIGXFSZ) << "limit " << limit;
        ASSERT_EQ(contentOf(m_directory / "k.tvr"), contentOf(previous)) << "limit " << limit;
    }
    expectOnlyTargetAndTemporaries("k.tvr");
}

// A process saving two images by turns, killed at a random moment, leaves
// one of them whole: never a mixture, never a short file.
TEST_F(SettingsFileFaults, SaveKilledAtAnyMomentLeavesOneWholeFile)
{
    const SettingsImage first = patternImage(1);
    const SettingsImage second = patternImage(2);
    ASSERT_TRUE(writeSettingsFile(path("m.tvr"), first).ok);
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int save = 0;; ++save)
                writeSettingsFile(path("m.tvr"), save % 2 ? first : second);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const FileContent content = contentOf(m_directory / "m.tvr");
        ASSERT_TRUE(content == contentOf(first) || content == contentOf(second)) << "round " << round;
    }
    expectOnlyTargetAndTemporaries("m.tvr");
}

struct UnusableFileRow {
    const char* name;
    void (*make)(const std::string& path);
    const char* reason;
};

class UnusableSettingsFile : public SettingsFileFaults, public testing::WithParamInterface<UnusableFileRow> {};

// Opening a FIFO without a writer would wait for one for ever; the read
// runs on its own thread so that such a wait fails the test instead of
// holding it up, and a writer is then opened to release it.
template <typename Read>
SettingsFileResult readWithoutHanging(const std::string& path, Read read)
{
    auto reading = std::async(std::launch::async, read);
    if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return reading.get();
    ADD_FAILURE() << "reading " << path << " does not return";
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    const SettingsFileResult result = reading.get();
    ::close(writer);
    return result;
}

TEST_P(UnusableSettingsFile, GivesFileOpenErrorAndLeavesTheImage)
{
    const std::string name = path("u.tvr");
    GetParam().make(name);
    SettingsImage image = patternImage(9);
    const SettingsImage before = image;
    const SettingsFileResult result = readWithoutHanging(name, [&] { return readSettingsFile(name, image); });
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File open error!");
    EXPECT_EQ(result.reason, GetParam().reason);
    EXPECT_EQ(image, before);

    const SettingsFileResult startup = readWithoutHanging(name, [&] { return loadStartupSettings(name, image); });
    EXPECT_FALSE(startup.ok);
    EXPECT_EQ(startup.status, "File open error:\r\n" + name);
    EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnusableSettingsFile,
    testing::Values(
        UnusableFileRow{"Directory", [](const std::string& path) { fs::create_directory(path); }, "Is a directory"},
        UnusableFileRow{"FifoWithoutWriter", [](const std::string& path) { ::mkfifo(path.c_str(), 0644); },
                        "Not a regular file"},
        UnusableFileRow{"SymbolicLinkToACharacterDevice",
                        [](const std::string& path) { fs::create_symlink("/dev/null", path); }, "Not a regular file"},
        UnusableFileRow{"DanglingSymbolicLink",
                        [](const std::string& path) { fs::create_symlink(path + ".gone", path); },
                        "No such file or directory"}),
    test_support::RowName());

// A file that opens but whose read fails: this process's memory file has
// nothing mapped at offset 0.
TEST_F(SettingsFileFaults, ReadErrorAfterOpeningLeavesTheImage)
{
    SettingsImage image = patternImage(4);
    const SettingsImage before = image;
    const SettingsFileResult result = readSettingsFile("/proc/self/mem", image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File open error!");
    EXPECT_EQ(result.reason, "Input/output error");
    EXPECT_EQ(image, before);
}

TEST_F(SettingsFileFaults, FileWithoutReadPermissionLeavesTheImage)
{
    const SettingsImage stored = patternImage(30);
    ASSERT_TRUE(writeSettingsFile(path("p.tvr"), stored).ok);
    fs::permissions(path("p.tvr"), fs::perms::none);
    test_support::runAsOrdinaryUser([&] {
        SettingsImage image = patternImage(31);
        const SettingsImage before = image;
        const SettingsFileResult result = readSettingsFile(path("p.tvr"), image);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.status, "File open error!");
        EXPECT_EQ(result.reason, "Permission denied");
        EXPECT_EQ(image, before);
    });
}

} // namespace
} // namespace telvor
