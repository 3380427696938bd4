// The far end of a link under test: reads the lines the link sends and
// answers each by a script, in a thread of its own.
#pragma once

#include "link/link_results.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace telvor::test {

using namespace std::chrono_literals;

struct ReplyPiece {
    std::chrono::milliseconds pause{0}; // before the piece goes out
    std::string bytes;
};

struct PeerStep {
    std::vector<ReplyPiece> reply; // none: the line stays unanswered
    enum class End { StayOpen, Close, Reset } end = End::StayOpen;
};

// A step answering with `bytes` at once.
PeerStep replyWith(std::string bytes);

// A row of the command tests: the command, the reply the peer gives to it,
// the result of sendCommand and the reply text it leaves.
struct CommandCase {
    const char* name;
    const char* command;
    std::vector<ReplyPiece> reply;
    CommandResult result;
    const char* replyText;
};

class ScriptedPeer final {
public:
    // Plays `steps` on `descriptor` (a pty master or a connected socket). With
    // `listening`, the descriptor is a listener and the first connection it
    // accepts is played on.
    ScriptedPeer(int descriptor, std::vector<PeerStep> steps, bool listening = false);
    ~ScriptedPeer();

    // Blocks until `count` steps have sent their whole reply.
    void waitForSteps(std::size_t count);
    // Stops reading once nothing more is waiting, and returns every byte the
    // peer received.
    std::string finish();

private:
    void run();
    bool readLine(std::string& pending);
    void readRest();

    int m_descriptor;
    bool m_listening;
    bool m_ownsDescriptor = false;
    std::vector<PeerStep> m_steps;
    std::string m_received;
    std::mutex m_mutex;
    std::condition_variable m_stepDone;
    std::size_t m_stepsDone = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace telvor::test
