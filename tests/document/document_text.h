// Documents written by the tests: a setting's path as nested mappings.
#pragma once

#include <string>
#include <string_view>

namespace telvor::test_support {

// "format: telvor-settings 1", then the path's names as nested mappings
// (two blanks deeper each) and the value after the last, as written.
inline std::string documentGiving(std::string_view path, std::string_view value)
{
    std::string document = "format: telvor-settings 1\n";
    std::string indent;
    while (true) {
        const std::size_t dot = path.find('.');
        document += indent + std::string(path.substr(0, dot)) + ":";
        if (dot == std::string_view::npos)
            break;
        document += "\n";
        indent += "  ";
        path.remove_prefix(dot + 1);
    }
    return document + (value.empty() ? "" : " ") + std::string(value) + "\n";
}

} // namespace telvor::test_support
