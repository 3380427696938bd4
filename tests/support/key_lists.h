// Lists of device keys as the tests expect them in order.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace telvor::test_support {

// key + first ... key + last.
inline std::vector<std::string> numbered(const std::string& key, int first, int last)
{
    std::vector<std::string> keys;
    for (int index = first; index <= last; ++index)
        keys.push_back(key + std::to_string(index));
    return keys;
}

// The parts one after the other.
inline std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> keys;
    for (const auto& part : parts)
        keys.insert(keys.end(), part.begin(), part.end());
    return keys;
}

} // namespace telvor::test_support
