// telvorctl export, import and set, and settings documents wherever a
// command reads a settings file: what they print and write, and that a
// refused document or assignment writes nothing, with every error told.
#include "document/factory_defaults.h"
#include "document/settings_document.h"
#include "image/settings_file.h"
#include "support/program_run.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace telvor {
namespace {

namespace fs = std::filesystem;

ProgramRun telvorctl(const std::vector<std::string>& arguments)
{
    return runBuiltProgram("telvorctl", arguments);
}

class TelvorctlDocuments : public testing::Test {
protected:
    void SetUp() override
    {
        m_directory = fs::temp_directory_path()
            / ("telvorctl-document-test-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_directory);
        fs::create_directories(m_directory);
    }
    void TearDown() override { fs::remove_all(m_directory); }

    std::string path(const std::string& name) const { return (m_directory / name).string(); }

    std::string write(const std::string& name, const std::string& content) const
    {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }

    std::string save(const std::string& name, const SettingsImage& image) const
    {
        EXPECT_TRUE(writeSettingsFile(path(name), image).ok);
        return path(name);
    }

    std::string contentOf(const std::string& name) const
    {
        std::ifstream file(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    SettingsImage imageOf(const std::string& name) const
    {
        SettingsImage image;
        EXPECT_TRUE(readSettingsFile(path(name), image).ok);
        return image;
    }

    fs::path m_directory;
};

SettingsImage withPin(SettingsImage image, const std::string& pin)
{
    image.setText(slot("PIN"), pin);
    return image;
}

TEST_F(TelvorctlDocuments, ExportPrintsTheWholeDocument)
{
    const SettingsImage image = withPin(factoryDefaults(), "1234");
    const ProgramRun run = telvorctl({"export", save("a.tvr", image)});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, exportDocument(image));
    EXPECT_EQ(run.standardError, "");
}

TEST_F(TelvorctlDocuments, ExportWritesOut)
{
    const SettingsImage image = withPin(factoryDefaults(), "99");
    const ProgramRun run = telvorctl({"export", save("a.tvr", image), "-o", path("a.yaml")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(contentOf("a.yaml"), exportDocument(image));
}

TEST_F(TelvorctlDocuments, ExportWritesOnlyANameOfADocument)
{
    const ProgramRun run = telvorctl({"export", save("a.tvr", factoryDefaults()), "-o", path("b.tvr")});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardError,
              "telvorctl: export: " + path("b.tvr") + " does not end in .yaml or .yml, as a settings document does\n");
    EXPECT_FALSE(fs::exists(path("b.tvr")));
}

TEST_F(TelvorctlDocuments, ImportAppliesTheLayersInOrderOntoTheFactoryDefaults)
{
    const std::string site = write("site.yaml",
                                   "format: telvor-settings 1\ninternet:\n  apn_name: site.apn\n"
                                   "basic:\n  pin: \"1111\"\n");
    const std::string device = write("device.yml", "format: telvor-settings 1\nbasic:\n  pin: \"2222\"\n");
    const ProgramRun run = telvorctl({"import", site, device, "-o", path("out.tvr")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    SettingsImage expected = withPin(factoryDefaults(), "2222");
    expected.setText(slot("APN", 0), "site.apn");
    EXPECT_EQ(imageOf("out.tvr"), expected);
}

TEST_F(TelvorctlDocuments, ImportOntoABaseIntoADocument)
{
    SettingsImage base;
    base.bytes().fill(0x11);
    const std::string device = write("device.yaml", "format: telvor-settings 1\nbasic:\n  pin: \"2222\"\n");
    const ProgramRun run = telvorctl({"--base", save("base.tvr", base), "import", device, "-o", path("out.yaml")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(contentOf("out.yaml"), exportDocument(withPin(base, "2222")));
}

TEST_F(TelvorctlDocuments, RefusedDocumentsWriteNothingAndTellEveryError)
{
    const std::string before(kImageSize, '\x42');
    write("out.tvr", before);
    const std::string first = write("first.yaml", "format: telvor-settings 1\nbasic:\n  pinn: 1\n");
    const std::string good = write("good.yaml", "format: telvor-settings 1\nbasic:\n  pin: \"1\"\n");
    const std::string second = write("second.yaml",
                                     "format: telvor-settings 1\nbasic:\n  sms_limit_per_day: 256\n"
                                     "  num_1: \"+4860010020177771\"\n");
    const std::string missing = path("missing.yaml");
    const ProgramRun run = telvorctl({"import", first, good, second, missing, "-o", path("out.tvr")});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError,
              "telvorctl: " + first
                  + ":3:3: basic.pinn: unknown setting\n"
                    "telvorctl: "
                  + second
                  + ":3:22: basic.sms_limit_per_day: Please enter an integer between 0 and 255.\n"
                    "telvorctl: "
                  + second
                  + ":4:10: basic.num_1: Please enter no more than 16 characters.\n"
                    "telvorctl: File open error! "
                  + missing + ": No such file or directory\n");
    EXPECT_EQ(contentOf("out.tvr"), before);
}

TEST_F(TelvorctlDocuments, ImportNeedsOut)
{
    const ProgramRun run = telvorctl({"import", write("a.yaml", "format: telvor-settings 1\n")});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardError,
              "telvorctl: import needs -o OUT, the settings file to write; see telvorctl import --help\n");
}

TEST_F(TelvorctlDocuments, SetChangesTheFileInPlace)
{
    const std::string file = save("a.tvr", factoryDefaults());
    const ProgramRun run
        = telvorctl({"set", file, "basic.pin=1234", "basic.num_3=+48600100200", "messages.L1=Łódź @UL"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    SettingsImage expected = withPin(factoryDefaults(), "1234");
    expected.setText(slot("NUM", 3), "+48600100200");
    for (int offset = 0; offset < slot("SMS", 1).width; ++offset)
        expected.bytes()[slot("SMS", 1).offset + offset] = 0;
    expected.setText(slot("SMS", 1),
                     "\xA3\xF3"
                     "d\x9F @UL");
    EXPECT_EQ(imageOf("a.tvr"), expected);
}

TEST_F(TelvorctlDocuments, SetWithOutLeavesTheFile)
{
    const std::string file = save("a.tvr", factoryDefaults());
    const ProgramRun run = telvorctl({"set", file, "basic.report_hours=[8,20]", "-o", path("b.tvr")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(imageOf("a.tvr"), factoryDefaults());
    SettingsImage expected = factoryDefaults();
    expected.bytes()[slot("RPTHR").offset + 1] = 0x01;
    expected.bytes()[slot("RPTHR").offset + 2] = 0x10;
    EXPECT_EQ(imageOf("b.tvr"), expected);
}

TEST_F(TelvorctlDocuments, RefusedSetLeavesTheFileByteForByte)
{
    std::string bytes(kImageSize, '\0');
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        bytes[offset] = static_cast<char>(offset * 3);
    const std::string file = write("a.tvr", bytes);
    const ProgramRun run = telvorctl({"set", file, "basic.pin=1234", "basic.pinn=1", "basic.sms_limit=yes"});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardError,
              "telvorctl: set: basic.pinn: unknown setting\n"
              "telvorctl: set: basic.sms_limit: Please enter true or false.\n");
    EXPECT_EQ(contentOf("a.tvr"), bytes);
}

TEST_F(TelvorctlDocuments, SetDoesNotRewriteADocumentInPlace)
{
    const std::string document = "# the site's layer\nformat: telvor-settings 1\nbasic:\n  pin: \"1\"\n";
    const std::string file = write("site.yaml", document);
    const ProgramRun run = telvorctl({"set", file, "basic.pin=2"});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardError,
              "telvorctl: set: " + file + " is a settings document; edit it, or give -o OUT for the result\n");
    EXPECT_EQ(contentOf("site.yaml"), document);

    const ProgramRun toOut = telvorctl({"set", file, "basic.pin=2", "-o", path("device.yaml")});
    EXPECT_EQ(toOut.exitStatus, 0);
    EXPECT_EQ(contentOf("device.yaml"), exportDocument(withPin(factoryDefaults(), "2")));
}

// show, diff and write read a document as the factory defaults with the
// document applied, whatever the case of its extension.
TEST_F(TelvorctlDocuments, DocumentsAreSettingsFilesForEveryCommand)
{
    const std::string document = write("SITE.YML", "format: telvor-settings 1\nbasic:\n  pin: \"1234\"\n");
    const ProgramRun show = telvorctl({"show", document});
    EXPECT_EQ(show.exitStatus, 0);
    EXPECT_TRUE(show.standardOutput.starts_with("PIN=1234\nNUM0=\n")) << show.standardOutput;

    const ProgramRun diff = telvorctl({"diff", save("defaults.tvr", factoryDefaults()), document});
    EXPECT_EQ(diff.exitStatus, 1);
    EXPECT_EQ(diff.standardOutput, "PIN:  -> 1234\n");

    const ProgramRun exported = telvorctl({"export", document});
    EXPECT_EQ(exported.standardOutput, exportDocument(withPin(factoryDefaults(), "1234")));
}

TEST_F(TelvorctlDocuments, DocumentWithErrorsIsAFileThatCannotBeRead)
{
    const std::string document = write("bad.yaml", "format: telvor-settings 1\nbasic: [\n");
    const ProgramRun show = telvorctl({"show", document});
    EXPECT_EQ(show.exitStatus, 2);
    EXPECT_EQ(show.standardOutput, "");
    EXPECT_EQ(show.standardError, "telvorctl: " + document + ":3:1: malformed YAML: end of sequence flow not found\n");
    const ProgramRun write = telvorctl({"--tcp", "127.0.0.1:1", "write", document});
    EXPECT_EQ(write.exitStatus, 2);
    EXPECT_EQ(write.standardError, show.standardError);
}

} // namespace
} // namespace telvor
