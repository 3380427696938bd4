// What the fleet tests share: a folder of each test's own, open to the
// ordinary user that the file tests drop to, and files written into it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace telvor::test_support {

class FleetFolderTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return (m_folder / name).string(); }
    // Writes `content` to `name` in the folder, making the folders between.
    void writeFile(const std::string& name, std::string_view content) const;
    std::string contentOf(const std::string& name) const;

    std::filesystem::path m_folder;
};

} // namespace telvor::test_support
