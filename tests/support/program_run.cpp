#include "support/program_run.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace telvor {
namespace {

std::string contentOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

ProgramRun runBuiltProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    if (!buildDirectory)
        throw std::runtime_error("TELVOR_BUILD_DIR is not set");
    const std::string path = std::string(buildDirectory) + "/" + program;
    char outputPath[] = "/tmp/telvor-run-out-XXXXXX";
    char errorPath[] = "/tmp/telvor-run-err-XXXXXX";
    const int output = ::mkstemp(outputPath);
    const int error = ::mkstemp(errorPath);
    if (output < 0 || error < 0)
        throw std::runtime_error("no temporary files for the program's output");

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output, STDOUT_FILENO);
        ::dup2(error, STDERR_FILENO);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(output);
    ::close(error);
    int status = 0;
    ::waitpid(child, &status, 0);
    ProgramRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.standardOutput = contentOf(outputPath);
    run.standardError = contentOf(errorPath);
    ::unlink(outputPath);
    ::unlink(errorPath);
    return run;
}

} // namespace telvor
