#include "support/program_run.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace telvor {
namespace {

std::string contentOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A temporary file for one of the program's streams, removed with it.
class OutputFile {
public:
    OutputFile()
    {
        m_descriptor = ::mkstemp(m_path);
        if (m_descriptor < 0)
            throw std::runtime_error("no temporary file for the program's output");
    }
    ~OutputFile()
    {
        closeDescriptor();
        ::unlink(m_path);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int descriptor() const { return m_descriptor; }
    void closeDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = -1;
    }
    std::string content() const { return contentOf(m_path); }

private:
    char m_path[32] = "/tmp/telvor-run-XXXXXX";
    int m_descriptor = -1;
};

std::string builtProgramPath(const std::string& program)
{
    const char* buildDirectory = std::getenv("TELVOR_BUILD_DIR");
    if (!buildDirectory)
        throw std::runtime_error("TELVOR_BUILD_DIR is not set");
    return std::string(buildDirectory) + "/" + program;
}

// Starts the program with standard output and standard error on the two
// descriptors; returns the child's process id.
pid_t startProgram(const std::string& path, const std::vector<std::string>& arguments, int output, int error)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output, STDOUT_FILENO);
        ::dup2(error, STDERR_FILENO);
        ::execvp(path.c_str(), argv.data());
        ::_exit(127);
    }
    return child;
}

int exitStatusOf(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    OutputFile output;
    OutputFile error;
    const pid_t child = startProgram(program, arguments, output.descriptor(), error.descriptor());
    output.closeDescriptor();
    error.closeDescriptor();
    ProgramRun run;
    run.exitStatus = exitStatusOf(child);
    run.standardOutput = output.content();
    run.standardError = error.content();
    return run;
}

ProgramRun runBuiltProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    return runProgram(builtProgramPath(program), arguments);
}

ProgramRun runBuiltProgramOnTerminal(const std::string& program, const std::vector<std::string>& arguments, int columns)
{
    int master = -1;
    int slave = -1;
    winsize size{};
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_row = 24;
    if (::openpty(&master, &slave, nullptr, nullptr, &size) != 0)
        throw std::runtime_error("no pseudo-terminal");
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);

    OutputFile output;
    const pid_t child = startProgram(builtProgramPath(program), arguments, output.descriptor(), slave);
    output.closeDescriptor();
    ::close(slave);
    // Read while the program runs, or it would stop once the terminal's
    // buffer is full; the read fails once the program has closed its side.
    ProgramRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count > 0)
            run.standardError.append(buffer, static_cast<std::size_t>(count));
        else if (count == 0 || errno != EINTR)
            break;
    }
    ::close(master);
    run.exitStatus = exitStatusOf(child);
    run.standardOutput = output.content();
    return run;
}

} // namespace telvor
