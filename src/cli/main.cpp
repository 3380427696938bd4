// telvorctl: the settings files, the parser and the device operations of the
// configuration program, from a console.
#include "command_line.h"
#include "console.h"
#include "exit_status.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <system_error>

using namespace telvor;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("telvorctl");
    QCoreApplication::setApplicationVersion(TELVOR_VERSION);

    const ParsedCommandLine parsed = parseCommandLine(QCoreApplication::arguments());
    int status = 0;
    if (const int* handled = std::get_if<int>(&parsed.outcome))
        status = *handled;
    else
        status = std::get<1>(parsed.outcome).first->run(std::get<1>(parsed.outcome).second);

    // Output that never arrived (a full disk, a closed pipe) is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("standard output: " + std::generic_category().message(errno));
        return kExitUsage;
    }
    return status;
}
