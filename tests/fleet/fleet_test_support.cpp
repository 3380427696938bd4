#include "fleet_test_support.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace telvor::test_support {

void FleetFolderTest::SetUp()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    m_folder = std::filesystem::temp_directory_path() / ("telvor-fleet-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    std::filesystem::permissions(m_folder, std::filesystem::perms::all);
}

void FleetFolderTest::TearDown()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void FleetFolderTest::writeFile(const std::string& name, std::string_view content) const
{
    const std::filesystem::path file = m_folder / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

std::string FleetFolderTest::contentOf(const std::string& name) const
{
    std::ifstream file(m_folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace telvor::test_support
