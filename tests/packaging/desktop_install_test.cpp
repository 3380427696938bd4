// An installation into a folder of the test's own (DESTDIR), checked as a
// distribution checks a package: the software-centre metadata by
// appstreamcli, the menu entry by desktop-file-validate, any error or
// warning failing; the metadata, the menu entry and the icon under one id.
#include "support/program_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

const std::string kAppId = TELVOR_APP_ID;

class DesktopInstall : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_destination = fs::temp_directory_path() / ("telvor-install-" + std::to_string(::getpid()));
        fs::remove_all(s_destination);
        ::setenv("DESTDIR", s_destination.c_str(), 1);
        s_install
            = runProgram(TELVOR_CMAKE_COMMAND, {"--install", std::getenv("TELVOR_BUILD_DIR"), "--prefix", "/usr"});
        ::unsetenv("DESTDIR");
    }
    static void TearDownTestSuite() { fs::remove_all(s_destination); }

    static fs::path installed(const std::string& path) { return s_destination / "usr" / path; }

    static fs::path s_destination;
    static ProgramRun s_install;
};

fs::path DesktopInstall::s_destination;
ProgramRun DesktopInstall::s_install;

TEST_F(DesktopInstall, PutsEveryFileInPlace)
{
    ASSERT_EQ(s_install.exitStatus, 0) << s_install.standardError;
    std::vector<std::string> files = {"bin/telvorctl",
                                      "bin/telvor-sim",
                                      "share/telvor/default_en.tvr",
                                      "share/man/man1/telvorctl.1.gz",
                                      "share/man/man1/telvor-sim.1.gz",
                                      "share/bash-completion/completions/telvorctl"};
    if (TELVOR_WITH_GUI)
        files.insert(
            files.end(),
            {"bin/telvor-config", "share/man/man1/telvor-config.1.gz", "share/applications/" + kAppId + ".desktop",
             "share/icons/hicolor/scalable/apps/" + kAppId + ".svg", "share/metainfo/" + kAppId + ".metainfo.xml"});
    for (const std::string& file : files)
        EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;
}

// The window's desktop files come only with the window.
#if TELVOR_WITH_GUI
std::string contentOf(const fs::path& file)
{
    std::ifstream stream(file);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// Lines of a validator's report that are errors or warnings ("E:", "W:").
std::vector<std::string> complaints(const std::string& report)
{
    std::vector<std::string> found;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && (line.compare(start, 2, "E:") == 0 || line.compare(start, 2, "W:") == 0))
            found.push_back(line);
    }
    return found;
}

TEST_F(DesktopInstall, MetadataPassesAppstreamValidation)
{
    ASSERT_EQ(s_install.exitStatus, 0);
    const ProgramRun file = runProgram(
        "appstreamcli", {"validate", "--no-net", installed("share/metainfo/" + kAppId + ".metainfo.xml").string()});
    EXPECT_EQ(file.exitStatus, 0) << file.standardOutput << file.standardError;
    EXPECT_EQ(complaints(file.standardOutput + file.standardError), std::vector<std::string>());
    // The tree check also finds the menu entry that the metadata launches.
    const ProgramRun tree = runProgram("appstreamcli", {"validate-tree", "--no-net", installed("").string()});
    EXPECT_EQ(tree.exitStatus, 0) << tree.standardOutput << tree.standardError;
    EXPECT_EQ(complaints(tree.standardOutput + tree.standardError), std::vector<std::string>());
}

TEST_F(DesktopInstall, MenuEntryPassesDesktopFileValidation)
{
    ASSERT_EQ(s_install.exitStatus, 0);
    const ProgramRun run
        = runProgram("desktop-file-validate", {installed("share/applications/" + kAppId + ".desktop").string()});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput + run.standardError, "");
}

// The desktop pairs the window with its entry, its icon and its metadata by
// the one id; the newest release is this version.
TEST_F(DesktopInstall, EntryIconAndMetadataShareTheId)
{
    ASSERT_EQ(s_install.exitStatus, 0);
    const std::string entry = contentOf(installed("share/applications/" + kAppId + ".desktop"));
    EXPECT_NE(entry.find("\nIcon=" + kAppId + "\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nExec=/usr/bin/telvor-config\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nPath=/usr/share/telvor\n"), std::string::npos) << entry;
    const std::string metadata = contentOf(installed("share/metainfo/" + kAppId + ".metainfo.xml"));
    EXPECT_NE(metadata.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(metadata.find("<launchable type=\"desktop-id\">" + kAppId + ".desktop</launchable>"), std::string::npos);
    std::smatch release;
    ASSERT_TRUE(std::regex_search(metadata, release, std::regex("<release version=\"([^\"]+)\"")));
    EXPECT_EQ(release[1], TELVOR_VERSION);
}
#endif

} // namespace
} // namespace telvor
