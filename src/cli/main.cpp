// telvorctl: the settings files, the parser and the device operations of the
// configuration program, from a console.
#include "command_line.h"
#include "console.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <system_error>

using namespace telvor;

int main(int argc, char* argv[])
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("telvorctl");

    const ParsedCommandLine parsed = parseCommandLine(std::move(arguments));
    const int status = parsed.command ? parsed.command->run(parsed.invocation) : parsed.exitStatus;

    // Output that never arrived (a full disk, a closed pipe) is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("standard output: " + std::generic_category().message(errno));
        return kExitUsage;
    }
    return status;
}
