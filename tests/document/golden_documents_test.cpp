// The exports of the factory defaults and of the benchmark device's settings,
// compared with documents a person has read and checked against the dialogs.
// The test never writes them: a difference is a change to review.
#include "document/factory_defaults.h"
#include "document/settings_document.h"
#include "support/row_name.h"

#include "image/settings_file.h"
#include "image/settings_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace telvor {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string sourcePath(const std::string& relative)
{
    return std::string(TELVOR_SOURCE_DIR) + "/" + relative;
}

// The settings made the way the benchmarks make them: the factory-default
// text with the given texts laid over it, read by the settings text parser.
SettingsImage settingsFromTexts(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += fileText(sourcePath(part)) + "\n";
    SettingsImage image;
    const SettingsTextResult parsed = settingsFromText(text, image);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return image;
}

struct GoldenRow {
    const char* name;
    std::vector<std::string> texts;
    const char* golden;
};

void PrintTo(const GoldenRow& row, std::ostream* out)
{
    *out << row.name;
}

class GoldenDocument : public testing::TestWithParam<GoldenRow> {};

TEST_P(GoldenDocument, IsTheExport)
{
    const SettingsImage image = settingsFromTexts(GetParam().texts);
    const std::string golden = fileText(sourcePath(std::string("tests/document/golden/") + GetParam().golden));
    EXPECT_EQ(exportDocument(image), golden);

    SettingsImage fromZero;
    const std::vector<DocumentError> errors = applyDocument(golden, fromZero);
    ASSERT_TRUE(errors.empty()) << errorLine(GetParam().golden, errors.front());
    EXPECT_EQ(exportDocument(fromZero), golden);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, GoldenDocument,
    testing::Values(GoldenRow{"FactoryDefaults", {"resources/default_en.txt"}, "default_en.yaml"},
                    GoldenRow{"EveryGroup", {"resources/default_en.txt", "bench/every_group.txt"}, "every_group.yaml"},
                    GoldenRow{"FullTexts",
                              {"resources/default_en.txt", "bench/every_group.txt", "bench/full_texts.txt"},
                              "full_texts.yaml"}),
    test_support::RowName());

// The defaults compiled into the program are the ones the build writes to
// default_en.tvr.
TEST(FactoryDefaults, AreTheBuiltDefaultFile)
{
    SettingsImage built;
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    ASSERT_NE(buildDirectory, nullptr);
    ASSERT_TRUE(readSettingsFile(std::string(buildDirectory) + "/default_en.tvr", built).ok);
    EXPECT_EQ(factoryDefaults(), built);
    EXPECT_EQ(factoryDefaults(), settingsFromTexts({"resources/default_en.txt"}));
}

} // namespace
} // namespace telvor
