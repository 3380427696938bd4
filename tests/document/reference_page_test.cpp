// The committed reference page is the one the settings table makes.
#include "document/reference_page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace telvor {
namespace {

TEST(ReferencePage, CommittedPageIsUpToDate)
{
    std::ifstream file(std::string(TELVOR_SOURCE_DIR) + "/docs/settings-document.md", std::ios::binary);
    ASSERT_TRUE(file);
    const std::string committed(std::istreambuf_iterator<char>(file), {});
    EXPECT_TRUE(committed == referencePage())
        << "docs/settings-document.md is out of date: run build/tools/settings-document-page "
           "docs/settings-document.md and commit the page";
}

} // namespace
} // namespace telvor
