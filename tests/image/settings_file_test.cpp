#include "image/settings_file.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

using FileContent = std::vector<std::uint8_t>;

class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path()
            / ("telvor-settings-file-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
    }
    void TearDown() override { fs::remove_all(m_directory); }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }

    static FileContent contentOf(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return FileContent(std::istreambuf_iterator<char>(file), {});
    }

    static void writeContent(const std::string& path, const FileContent& content)
    {
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    }

    std::vector<std::string> directoryEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_directory))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static SettingsImage patternImage(std::uint8_t seed)
    {
        SettingsImage image;
        for (std::size_t offset = 0; offset < kImageSize; ++offset)
            image.bytes()[offset] = static_cast<std::uint8_t>(offset * 7 + seed);
        return image;
    }

    static FileContent contentOf(const SettingsImage& image)
    {
        return FileContent(image.bytes().begin(), image.bytes().end());
    }

    fs::path m_directory;
};

TEST_F(SettingsFile, WritesExactlyTheImagesBytes)
{
    const SettingsImage image = patternImage(3);
    const SettingsFileResult result = writeSettingsFile(path("a.tvr"), image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, "Configuration saved to:\r\na.tvr");
    EXPECT_EQ(result.reason, "");
    EXPECT_EQ(contentOf(path("a.tvr")), contentOf(image));
    EXPECT_EQ(directoryEntries(), std::vector<std::string>{"a.tvr"});
}

TEST_F(SettingsFile, WriteThenReadRestoresEveryByte)
{
    const SettingsImage written = patternImage(200);
    ASSERT_TRUE(writeSettingsFile(path("b.tvr"), written).ok);
    SettingsImage read;
    const SettingsFileResult result = readSettingsFile(path("b.tvr"), read);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, "Configuration loaded from:\r\nb.tvr");
    EXPECT_EQ(read, written);
}

TEST_F(SettingsFile, OverwritesAnExistingFile)
{
    writeContent(path("c.tvr"), FileContent(5000, 0x11));
    const SettingsImage image = patternImage(9);
    ASSERT_TRUE(writeSettingsFile(path("c.tvr"), image).ok);
    EXPECT_EQ(contentOf(path("c.tvr")), contentOf(image));
    EXPECT_EQ(fs::status(path("c.tvr")).permissions() & fs::perms::owner_read, fs::perms::owner_read);
}

TEST_F(SettingsFile, WritesUnderTheLongestNameTheDirectoryAllows)
{
    const std::string name = std::string(251, 'n') + ".tvr";
    const SettingsImage image = patternImage(8);
    const SettingsFileResult result = writeSettingsFile(path(name), image);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(contentOf(path(name)), contentOf(image));
}

struct ReadRow {
    const char* name;
    std::size_t fileSize;
};

class ReadSettingsFileSizes : public SettingsFile, public testing::WithParamInterface<ReadRow> {};

TEST_P(ReadSettingsFileSizes, ZeroFirstThenTakeAtMostTheImageSize)
{
    FileContent content(GetParam().fileSize);
    for (std::size_t offset = 0; offset < content.size(); ++offset)
        content[offset] = static_cast<std::uint8_t>(offset % 251 + 1);
    writeContent(path("d.tvr"), content);
    SettingsImage image = patternImage(1);
    const SettingsFileResult result = readSettingsFile(path("d.tvr"), image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, "Configuration loaded from:\r\nd.tvr");
    for (std::size_t offset = 0; offset < kImageSize; ++offset) {
        const std::uint8_t expected = offset < content.size() ? content[offset] : 0;
        ASSERT_EQ(image.bytes()[offset], expected) << "offset " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadSettingsFileSizes,
                         testing::Values(ReadRow{"Empty", 0}, ReadRow{"Short", 100},
                                         ReadRow{"OneShort", kImageSize - 1}, ReadRow{"Exact", kImageSize},
                                         ReadRow{"Long", 5000}),
                         test_support::RowName());

// A content read as its file stands: a small file whole whatever the limit,
// a file larger than its stated size (as the system's own files are) read
// on, and one beyond the limit refused.
TEST_F(SettingsFile, ContentIsReadWholeUpToTheLimitWhateverTheStatedSize)
{
    std::string content;
    writeContent(path("small.yaml"), FileContent{'a', 'b', 'c'});
    ASSERT_TRUE(readSettingsContent(path("small.yaml"), content, 64 << 20).ok);
    EXPECT_EQ(content, "abc");
    std::string stated;
    ASSERT_TRUE(readSettingsContent("/proc/self/mountinfo", stated, 1 << 20).ok);
    EXPECT_EQ(fs::file_size("/proc/self/mountinfo"), 0u);
    EXPECT_GT(stated.size(), 100u);
    EXPECT_TRUE(stated.ends_with('\n'));
    writeContent(path("large.yaml"), FileContent(4097, 'x'));
    const SettingsFileResult large = readSettingsContent(path("large.yaml"), content, 4096);
    EXPECT_FALSE(large.ok);
    EXPECT_EQ(large.reason, "File too large");
    ASSERT_TRUE(readSettingsContent(path("large.yaml"), content, 4097).ok);
    EXPECT_EQ(content, std::string(4097, 'x'));
}

TEST_F(SettingsFile, MissingFileLeavesTheImage)
{
    SettingsImage image = patternImage(5);
    const SettingsImage before = image;
    const SettingsFileResult result = readSettingsFile(path("missing.tvr"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File open error!");
    EXPECT_EQ(result.reason, "No such file or directory");
    EXPECT_EQ(image, before);
}

TEST_F(SettingsFile, DirectoryCannotBeReadAndLeavesTheImage)
{
    SettingsImage image = patternImage(6);
    const SettingsImage before = image;
    const SettingsFileResult result = readSettingsFile(m_directory.string(), image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File open error!");
    EXPECT_EQ(result.reason, "Is a directory");
    EXPECT_EQ(image, before);
}

TEST_F(SettingsFile, WriteBelowARegularFileFails)
{
    writeContent(path("plain"), FileContent{1, 2, 3});
    const SettingsFileResult result = writeSettingsFile(path("plain") + "/e.tvr", patternImage(1));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File write error!");
    EXPECT_EQ(result.reason, "Not a directory");
    EXPECT_EQ(contentOf(path("plain")), (FileContent{1, 2, 3}));
}

TEST_F(SettingsFile, WriteOverADirectoryFailsAndLeavesNoTemporaryFile)
{
    fs::create_directory(path("f.tvr"));
    const SettingsFileResult result = writeSettingsFile(path("f.tvr"), patternImage(1));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File write error!");
    EXPECT_EQ(result.reason, "Is a directory");
    EXPECT_TRUE(fs::is_directory(path("f.tvr")));
    EXPECT_EQ(directoryEntries(), std::vector<std::string>{"f.tvr"});
}

// A file size limit makes the writes fail part-way, as a full disk does.
TEST_F(SettingsFile, FailedWriteLeavesTheOldFileByteForByte)
{
    const SettingsImage old = patternImage(77);
    ASSERT_TRUE(writeSettingsFile(path("g.tvr"), old).ok);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const SettingsFileResult result = writeSettingsFile(path("g.tvr"), patternImage(1));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File write error!");
    EXPECT_EQ(result.reason, "File too large");
    EXPECT_EQ(contentOf(path("g.tvr")), contentOf(old));
    EXPECT_EQ(directoryEntries(), std::vector<std::string>{"g.tvr"});
}

TEST_F(SettingsFile, WriteThroughALoopOfLinksFailsAndLeavesTheLinks)
{
    fs::create_symlink("b.tvr", path("a.tvr"));
    fs::create_symlink("a.tvr", path("b.tvr"));
    const SettingsFileResult result = writeSettingsFile(path("a.tvr"), patternImage(1));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File write error!");
    EXPECT_EQ(result.reason, "Too many levels of symbolic links");
    EXPECT_EQ(fs::read_symlink(path("a.tvr")), "b.tvr");
    EXPECT_EQ(directoryEntries(), (std::vector<std::string>{"a.tvr", "b.tvr"}));
}

struct NameRow {
    const char* name;
    const char* typed;
    const char* used;
};

class SettingsFileNames : public testing::TestWithParam<NameRow> {};

TEST_P(SettingsFileNames, GetTheExtensionOnlyWhenTheyHaveNone)
{
    EXPECT_EQ(withSettingsExtension(GetParam().typed), GetParam().used);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsFileNames,
                         testing::Values(NameRow{"PlainName", "Test", "Test.tvr"},
                                         NameRow{"CaseKept", "/home/Ann/Configs/myConf",
                                                 "/home/Ann/Configs/myConf.tvr"},
                                         NameRow{"ExtensionKept", "site.TVR", "site.TVR"},
                                         NameRow{"OtherExtensionKept", "site.bak", "site.bak"},
                                         NameRow{"DottedDirectory", "/srv/v1.2/site", "/srv/v1.2/site.tvr"},
                                         NameRow{"HiddenNameHasNoExtension", "/tmp/.site", "/tmp/.site.tvr"},
                                         NameRow{"Blanks", "my site", "my site.tvr"}),
                         test_support::RowName());

TEST(StartupFileName, QuotesAreRemovedAndTheLengthCut)
{
    EXPECT_EQ(startupFileName(""), "default_en.tvr");
    EXPECT_EQ(startupFileName("\"/tmp/my site.tvr\""), "/tmp/my site.tvr");
    EXPECT_EQ(startupFileName("a\"b\"c"), "abc");
    EXPECT_EQ(startupFileName(std::string(1500, 'x')), std::string(1023, 'x'));
    EXPECT_EQ(startupFileName("\"" + std::string(1023, 'y') + "\"z"), std::string(1023, 'y'));
    EXPECT_EQ(startupFileName("\"\""), "");
}

TEST_F(SettingsFile, StartupLoadOfAQuotedPathWithABlank)
{
    writeContent(path("my site.tvr"), FileContent(10, 0x42));
    SettingsImage image = patternImage(2);
    const SettingsImage before = image;
    const std::string quoted = "\"" + path("my site.tvr") + "\"";
    const SettingsFileResult result = loadStartupSettings(quoted, image);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, "Default settings loaded from:\r\n" + path("my site.tvr"));
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        ASSERT_EQ(image.bytes()[offset], offset < 10 ? 0x42 : before.bytes()[offset]) << offset;
}

// The start-up file is looked for in the current directory.
TEST_F(SettingsFile, StartupLoadWithoutArgumentsUsesTheCurrentDirectory)
{
    const fs::path previous = fs::current_path();
    fs::current_path(m_directory);
    SettingsImage image;
    const SettingsFileResult missing = loadStartupSettings("", image);
    writeContent("default_en.tvr", contentOf(patternImage(4)));
    const SettingsFileResult found = loadStartupSettings("", image);
    fs::current_path(previous);

    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.status, "File open error:\r\ndefault_en.tvr");
    EXPECT_EQ(missing.reason, "No such file or directory");
    EXPECT_TRUE(found.ok);
    EXPECT_EQ(found.status, "Default settings loaded from:\r\ndefault_en.tvr");
    EXPECT_EQ(image, patternImage(4));
}

TEST_F(SettingsFile, StartupLoadFailureLeavesTheImage)
{
    SettingsImage image;
    const SettingsFileResult result = loadStartupSettings(path("none.tvr"), image);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "File open error:\r\n" + path("none.tvr"));
    EXPECT_EQ(image, SettingsImage());
}

} // namespace
} // namespace telvor
