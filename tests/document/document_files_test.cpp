// Documents as files: which names are documents, reading one onto the factory
// defaults with the status texts of settings files, refusing what cannot be
// read, and writing one as safely as a settings file; also as an ordinary
// user, for whom permissions count.
#include "document/document_file.h"
#include "document/factory_defaults.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kUnprivilegedUser = 65534;
constexpr gid_t kUnprivilegedGroup = 65534;

struct NameRow {
    const char* name;
    const char* path;
    bool document;
};

void PrintTo(const NameRow& row, std::ostream* out)
{
    *out << row.name;
}

class DocumentName : public testing::TestWithParam<NameRow> {};

TEST_P(DocumentName, EndsInYamlOrYmlInAnyCase)
{
    EXPECT_EQ(isDocumentName(GetParam().path), GetParam().document);
}

INSTANTIATE_TEST_SUITE_P(Names, DocumentName,
                         testing::Values(NameRow{"Yaml", "site.yaml", true}, NameRow{"UpperCase", "SITE.YAML", true},
                                         NameRow{"MixedCase", "dir/Site.Yml", true}, NameRow{"Yml", "a.yml", true},
                                         NameRow{"SettingsFile", "site.tvr", false},
                                         NameRow{"YamlInTheMiddle", "site.yaml.tvr", false},
                                         NameRow{"LongerExtension", "site.yamlx", false},
                                         NameRow{"NoDot", "yaml", false}),
                         test_support::RowName());

class DocumentFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path()
            / ("telvor-document-files-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
        fs::permissions(m_directory, fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
    }
    void TearDown() override { fs::remove_all(m_directory); }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }

    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }

    static std::string contentOf(const std::string& file)
    {
        std::ifstream stream(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    static SettingsImage pattern()
    {
        SettingsImage image;
        for (std::size_t offset = 0; offset < kImageSize; ++offset)
            image.bytes()[offset] = static_cast<std::uint8_t>(offset * 5 + 1);
        return image;
    }

    fs::path m_directory;
};

TEST_F(DocumentFiles, DocumentIsReadOntoTheFactoryDefaults)
{
    SettingsImage image = pattern();
    const DocumentFileResult result
        = readDocumentFile(write("site.yaml", "format: telvor-settings 1\nbasic:\n  pin: \"1234\"\n"), image);
    EXPECT_TRUE(result.file.ok);
    EXPECT_EQ(result.file.status, "Configuration loaded from:\r\nsite.yaml");
    EXPECT_TRUE(result.errors.empty());
    SettingsImage expected = factoryDefaults();
    expected.setText(slot("PIN"), "1234");
    EXPECT_EQ(image, expected);
}

TEST_F(DocumentFiles, DocumentWithErrorsLeavesTheImage)
{
    SettingsImage image = pattern();
    const DocumentFileResult result = readDocumentFile(
        write("site.yaml", "format: telvor-settings 1\nbasic:\n  pin: \"1234\"\n  pinn: 1\n  sms_limit: 1\n"), image);
    EXPECT_FALSE(result.file.ok);
    EXPECT_EQ(result.file.status, "File open error!");
    ASSERT_EQ(result.errors.size(), 2u);
    EXPECT_EQ(errorLine("site.yaml", result.errors[0]), "site.yaml:4:3: basic.pinn: unknown setting");
    EXPECT_EQ(errorLine("site.yaml", result.errors[1]), "site.yaml:5:14: basic.sms_limit: Please enter true or false.");
    EXPECT_EQ(image, pattern());
}

struct UnreadableRow {
    const char* name;
    std::function<std::string(const fs::path& directory)> make;
    const char* reason;
};

void PrintTo(const UnreadableRow& row, std::ostream* out)
{
    *out << row.name;
}

class UnreadableDocument : public DocumentFiles, public testing::WithParamInterface<UnreadableRow> {};

TEST_P(UnreadableDocument, GivesFileOpenErrorAndLeavesTheImage)
{
    SettingsImage image = pattern();
    const DocumentFileResult result = readDocumentFile(GetParam().make(m_directory), image);
    EXPECT_FALSE(result.file.ok);
    EXPECT_EQ(result.file.status, "File open error!");
    EXPECT_EQ(result.file.reason, GetParam().reason);
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(image, pattern());
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableDocument,
                         testing::Values(UnreadableRow{"Missing",
                                                       [](const fs::path& d) { return (d / "gone.yaml").string(); },
                                                       "No such file or directory"},
                                         UnreadableRow{"Directory",
                                                       [](const fs::path& d) {
                                                           fs::create_directory(d / "dir.yaml");
                                                           return (d / "dir.yaml").string();
                                                       },
                                                       "Is a directory"},
                                         UnreadableRow{"NotARegularFile",
                                                       [](const fs::path& d) {
                                                           fs::create_symlink("/dev/null", d / "null.yaml");
                                                           return (d / "null.yaml").string();
                                                       },
                                                       "Not a regular file"},
                                         UnreadableRow{"TooLarge",
                                                       [](const fs::path& d) {
                                                           std::ofstream(d / "big.yaml")
                                                               << std::string(kDocumentSizeLimit + 1, '#');
                                                           return (d / "big.yaml").string();
                                                       },
                                                       "File too large"}),
                         test_support::RowName());

TEST_F(DocumentFiles, WrittenDocumentReadsBackTheSettings)
{
    SettingsImage written = factoryDefaults();
    written.setText(slot("APN", 0), "internet");
    written.setU8(slot("THTP"), 12);
    const SettingsFileResult saved = writeDocumentFile(path("out.yaml"), written);
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.status, "Configuration saved to:\r\nout.yaml");
    EXPECT_EQ(contentOf(path("out.yaml")), exportDocument(written));
    SettingsImage read = pattern();
    EXPECT_TRUE(readDocumentFile(path("out.yaml"), read).file.ok);
    EXPECT_EQ(read, written);
}

TEST_F(DocumentFiles, FailedWriteLeavesTheEarlierFile)
{
    const SettingsFileResult saved = writeDocumentFile(path("nowhere/out.yaml"), factoryDefaults());
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.status, "File write error!");
    EXPECT_EQ(saved.reason, "No such file or directory");
}

// Runs `body` in a child that has given up root, and gives its exit status.
template <typename Body>
int asOrdinaryUser(Body body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedGroup) != 0 || ::setuid(kUnprivilegedUser) != 0))
            ::_exit(10);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(DocumentFiles, UnreadableDocumentAsAnOrdinaryUser)
{
    const std::string file = write("secret.yaml", "format: telvor-settings 1\n");
    fs::permissions(file, fs::perms::none);
    const int status = asOrdinaryUser([&] {
        SettingsImage image = pattern();
        const DocumentFileResult result = readDocumentFile(file, image);
        if (result.file.ok || result.file.reason != "Permission denied")
            return 11;
        return image == pattern() ? 0 : 12;
    });
    EXPECT_EQ(status, 0) << "10 cannot drop root, 11 read or wrong reason, 12 image changed";
}

TEST_F(DocumentFiles, DocumentInAReadOnlyFolderAsAnOrdinaryUser)
{
    const std::string earlier = write("kept.yaml", "earlier");
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
        | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(m_directory, readOnly);
    const int status = asOrdinaryUser([&] {
        const SettingsFileResult saved = writeDocumentFile(earlier, factoryDefaults());
        if (saved.ok || saved.status != "File write error!" || saved.reason != "Permission denied")
            return 11;
        return 0;
    });
    fs::permissions(m_directory, fs::perms::owner_all);
    EXPECT_EQ(status, 0) << "10 cannot drop root, 11 written or wrong status";
    EXPECT_EQ(contentOf(earlier), "earlier");
}

} // namespace
} // namespace telvor
