// A save over a file that is already there keeps what protects the file and
// what names it: its mode, owner and group, the symbolic links that lead to
// it, its other hard-linked names; a file in a folder its user may not write
// is saved in place. Root is stopped by no permission, so each case runs as
// the running user and again as an ordinary user.
#include "image/settings_file.h"
#include "support/ordinary_user.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

SettingsImage patternImage(std::uint8_t seed)
{
    SettingsImage image;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        image.bytes()[offset] = static_cast<std::uint8_t>(offset * 11 + seed);
    return image;
}

std::string bytesOf(const SettingsImage& image)
{
    return std::string(image.bytes().begin(), image.bytes().end());
}

std::string bytesOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

const std::string kOldBytes = bytesOf(patternImage(1));
const SettingsImage kNewImage = patternImage(2);

// The file as an earlier save left it, written without the code under test.
fs::path oldFile(const fs::path& path)
{
    std::ofstream(path, std::ios::binary) << kOldBytes;
    return path;
}

mode_t modeOf(const fs::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

fs::path fileWithMode(const fs::path& folder, mode_t mode)
{
    const fs::path path = oldFile(folder / "s.tvr");
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
}

// Root gives the file to the ordinary user; anybody else owns it already.
uid_t expectedOwner()
{
    return ::geteuid() == 0 ? test_support::kOrdinaryUser : ::geteuid();
}

struct SaveCase {
    const char* name;
    // Makes what the save meets in `folder` and gives the name saved to.
    fs::path (*prepare)(const fs::path& folder);
    // What must hold afterwards besides the new content under that name.
    void (*check)(const fs::path& folder);
};

void PrintTo(const SaveCase& row, std::ostream* out)
{
    *out << row.name;
}

const SaveCase kSaveCases[] = {
    {"PrivateModeIsKept", [](const fs::path& folder) { return fileWithMode(folder, 0600); },
     [](const fs::path& folder) { EXPECT_EQ(modeOf(folder / "s.tvr"), 0600u); }},
    {"GroupWritableModeIsKept", [](const fs::path& folder) { return fileWithMode(folder, 0660); },
     [](const fs::path& folder) { EXPECT_EQ(modeOf(folder / "s.tvr"), 0660u); }},
    {"OwnerAndGroupAreKept",
     [](const fs::path& folder) {
         const fs::path path = oldFile(folder / "s.tvr");
         if (::geteuid() == 0) {
             EXPECT_EQ(::chown(path.c_str(), test_support::kOrdinaryUser, test_support::kOrdinaryGroup), 0);
         }
         return path;
     },
     [](const fs::path& folder) {
         struct stat status {};
         ASSERT_EQ(::stat((folder / "s.tvr").c_str(), &status), 0);
         EXPECT_EQ(status.st_uid, expectedOwner());
         EXPECT_EQ(status.st_gid, ::geteuid() == 0 ? test_support::kOrdinaryGroup : ::getegid());
     }},
    {"NewFileFollowsTheUmask", [](const fs::path& folder) { return folder / "n.tvr"; },
     [](const fs::path& folder) { EXPECT_EQ(modeOf(folder / "n.tvr"), 0644u); }},
    {"SymbolicLinkLeadsToTheSavedFile",
     [](const fs::path& folder) {
         fs::create_directory(folder / "real");
         oldFile(folder / "real" / "t.tvr");
         fs::create_symlink("real/t.tvr", folder / "l.tvr");
         return folder / "l.tvr";
     },
     [](const fs::path& folder) {
         EXPECT_TRUE(fs::is_symlink(folder / "l.tvr"));
         EXPECT_EQ(fs::read_symlink(folder / "l.tvr"), "real/t.tvr");
         EXPECT_EQ(bytesOf(folder / "real" / "t.tvr"), bytesOf(kNewImage));
     }},
    {"ChainOfLinksAcrossFolders",
     [](const fs::path& folder) {
         fs::create_directory(folder / "a");
         fs::create_directory(folder / "real");
         oldFile(folder / "real" / "t.tvr");
         fs::create_symlink(folder / "real" / "t.tvr", folder / "l2.tvr");
         fs::create_symlink("../l2.tvr", folder / "a" / "l1.tvr");
         return folder / "a" / "l1.tvr";
     },
     [](const fs::path& folder) {
         EXPECT_EQ(fs::read_symlink(folder / "a" / "l1.tvr"), "../l2.tvr");
         EXPECT_EQ(fs::read_symlink(folder / "l2.tvr"), folder / "real" / "t.tvr");
         EXPECT_EQ(bytesOf(folder / "real" / "t.tvr"), bytesOf(kNewImage));
     }},
    {"DanglingLinkGetsItsTarget",
     [](const fs::path& folder) {
         fs::create_symlink("made.tvr", folder / "l.tvr");
         return folder / "l.tvr";
     },
     [](const fs::path& folder) {
         EXPECT_TRUE(fs::is_symlink(folder / "l.tvr"));
         EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "made.tvr")));
     }},
    {"HardLinkedFileIsSavedUnderEveryName",
     [](const fs::path& folder) {
         oldFile(folder / "a.tvr");
         fs::create_hard_link(folder / "a.tvr", folder / "b.tvr");
         return folder / "a.tvr";
     },
     [](const fs::path& folder) {
         EXPECT_EQ(bytesOf(folder / "b.tvr"), bytesOf(kNewImage));
         EXPECT_TRUE(fs::equivalent(folder / "a.tvr", folder / "b.tvr"));
         EXPECT_EQ(fs::hard_link_count(folder / "a.tvr"), 2u);
     }},
    {"FileInAReadOnlyFolderIsSavedInPlace",
     [](const fs::path& folder) {
         fs::create_directory(folder / "shared");
         oldFile(folder / "shared" / "s.tvr");
         EXPECT_EQ(::chmod((folder / "shared").c_str(), 0555), 0);
         return folder / "shared" / "s.tvr";
     },
     [](const fs::path& folder) {
         EXPECT_EQ(modeOf(folder / "shared" / "s.tvr"), 0644u);
         EXPECT_EQ(::chmod((folder / "shared").c_str(), 0755), 0);
     }},
};

// Every name under `folder` but a temporary file of the save.
void expectNoTemporaries(const fs::path& folder)
{
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(name.starts_with(".telvor-")) << entry.path();
    }
}

void saveAndCheck(const SaveCase& row, const fs::path& folder)
{
    const mode_t previousMask = ::umask(022);
    const fs::path name = row.prepare(folder);
    const SettingsFileResult result = writeSettingsFile(name.string(), kNewImage);
    ::umask(previousMask);
    EXPECT_TRUE(result.ok) << result.status << " " << result.reason;
    EXPECT_EQ(result.status, "Configuration saved to:\r\n" + name.filename().string());
    EXPECT_EQ(bytesOf(name), bytesOf(kNewImage));
    row.check(folder);
    expectNoTemporaries(folder);
}

// A folder of the test's own, with one part for the running user and one
// that the ordinary user may write.
class SaveFolder : public testing::Test {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_directory = fs::temp_directory_path() / ("telvor-save-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_directory);
        fs::create_directories(m_directory / "running");
        fs::create_directories(m_directory / "ordinary");
        fs::permissions(m_directory,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read
                            | fs::perms::others_exec);
        test_support::giveToOrdinaryUser(m_directory / "ordinary");
    }
    void TearDown() override { fs::remove_all(m_directory); }

    fs::path m_directory;
};

class SettingsFileProtection : public SaveFolder, public testing::WithParamInterface<SaveCase> {};

TEST_P(SettingsFileProtection, HoldsForTheRunningUserAndForAnOrdinaryUser)
{
    const SaveCase& row = GetParam();
    {
        SCOPED_TRACE("as the running user");
        saveAndCheck(row, m_directory / "running");
    }
    test_support::runAsOrdinaryUser([&] {
        SCOPED_TRACE("as an ordinary user");
        saveAndCheck(row, m_directory / "ordinary");
    });
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsFileProtection, testing::ValuesIn(kSaveCases), test_support::RowName());

} // namespace
} // namespace telvor

namespace telvor {
namespace {

// Saves in place that fail, as an ordinary user meets them: each step is
// checked and its reason reported.
struct InPlaceFailureCase {
    const char* name;
    // Makes the file in `folder` and gives its name.
    fs::path (*prepare)(const fs::path& folder);
    const char* reason;
    bool oldContentKept;
};

void PrintTo(const InPlaceFailureCase& row, std::ostream* out)
{
    *out << row.name;
}

const InPlaceFailureCase kInPlaceFailureCases[] = {
    {"WriteCutShortByTheFileSizeLimit",
     [](const fs::path& folder) {
         oldFile(folder / "a.tvr");
         fs::create_hard_link(folder / "a.tvr", folder / "b.tvr");
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limited{1000, 1000};
         EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
         return folder / "a.tvr";
     },
     "File too large", false},
    {"ReadOnlyFileInAReadOnlyFolder",
     [](const fs::path& folder) {
         fs::create_directory(folder / "shared");
         const fs::path path = oldFile(folder / "shared" / "s.tvr");
         EXPECT_EQ(::chmod(path.c_str(), 0444), 0);
         EXPECT_EQ(::chmod((folder / "shared").c_str(), 0555), 0);
         return path;
     },
     "Permission denied", true},
};

class InPlaceSaveFailure : public SaveFolder, public testing::WithParamInterface<InPlaceFailureCase> {};

TEST_P(InPlaceSaveFailure, IsReportedWithItsReason)
{
    const InPlaceFailureCase& row = GetParam();
    const fs::path folder = m_directory / "ordinary";
    test_support::runAsOrdinaryUser([&] {
        const fs::path name = row.prepare(folder);
        const SettingsFileResult result = writeSettingsFile(name.string(), kNewImage);
        EXPECT_FALSE(result.ok);
        if (row.oldContentKept) {
            EXPECT_EQ(bytesOf(name), kOldBytes);
        }
        EXPECT_EQ(result.status, "File write error!");
        EXPECT_EQ(result.reason, row.reason);
        expectNoTemporaries(folder);
    });
    ::chmod((folder / "shared").c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(Rows, InPlaceSaveFailure, testing::ValuesIn(kInPlaceFailureCases), test_support::RowName());

} // namespace
} // namespace telvor
