// Programs of the build folder under test: ctest passes its path in
// TELVOR_BUILD_DIR and runs the tests there.
#pragma once

#include <cstdlib>
#include <string>

namespace telvor::test_support {

// The program `name` of the build folder, e.g. "telvor-sim".
inline std::string builtProgram(const std::string& name)
{
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    return std::string(buildDirectory ? buildDirectory : ".") + "/" + name;
}

} // namespace telvor::test_support
