// Runs a program, most often one built in this build folder, and collects
// what it printed.
#pragma once

#include <string>
#include <vector>

namespace telvor {

struct ProgramRun {
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

// `program` is a path, or a name looked up in PATH.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments);

// The program's path is TELVOR_BUILD_DIR/program.
ProgramRun runBuiltProgram(const std::string& program, const std::vector<std::string>& arguments);

// The same with standard error on a pseudo-terminal of `columns` columns in
// raw mode, so that standardError holds the bytes exactly as written, and
// standard output on a file.
ProgramRun runBuiltProgramOnTerminal(const std::string& program, const std::vector<std::string>& arguments,
                                     int columns);

} // namespace telvor
