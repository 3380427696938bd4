// Runs a program built in this build folder and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace telvor {

struct ProgramRun {
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

// The program's path is TELVOR_BUILD_DIR/program.
ProgramRun runBuiltProgram(const std::string& program, const std::vector<std::string>& arguments);

} // namespace telvor
