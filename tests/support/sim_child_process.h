// telvor-sim as a process of its own, the one way every test and measurement
// starts it: the tests of the program itself, of telvorctl and of the window,
// and the measurements, which must not count the device's work as the
// client's.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace telvor {

class SimChildProcess {
public:
    // Where the program's standard error goes: to the test's own, nowhere
    // (for runs that fail on purpose), or into a file the test reads back.
    struct ErrorOutput {
        static ErrorOutput shown() { return {}; }
        static ErrorOutput silenced() { return {"/dev/null"}; }
        static ErrorOutput intoFile(std::string path) { return {std::move(path)}; }

        std::string file; // empty: shown
    };

    // Starts `program` with `arguments`, its standard output on a pipe read
    // by firstLine().
    SimChildProcess(const std::string& program, std::vector<std::string> arguments,
                    const ErrorOutput& errors = ErrorOutput::shown());
    // Ends the program with SIGTERM (SIGKILL when that does not end it).
    ~SimChildProcess();
    SimChildProcess(const SimChildProcess&) = delete;
    SimChildProcess& operator=(const SimChildProcess&) = delete;

    // The first line the program prints, without its line feed: "listening
    // on ADDRESS:PORT" or "pty LINK -> SLAVE". Empty when none comes within
    // ten seconds.
    std::string firstLine();
    // The line after those read before, the same way: the second device's
    // "listening on" line of telvor-sim --devices, say.
    std::string nextLine();
    // Sends `signal` without waiting for the program to end.
    void sendSignal(int signal);
    // Sends `signal` (0 only waits) and gives the exit status, 128 + the
    // signal's number when a signal ended it, or -1 when it has not ended
    // within five seconds.
    int endWith(int signal);

private:
    int m_pid = -1;
    int m_output = -1;
};

// The port of a first line "listening on ADDRESS:PORT"; 0 for any other.
int listeningPort(const std::string& firstLine);

} // namespace telvor
