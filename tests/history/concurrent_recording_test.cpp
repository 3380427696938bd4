// Many operations recorded into one database at once, by processes of their
// own and by the threads of one process: no row is lost or left running.
#include "history_test_support.h"

#include "history/recorded_operations.h"
#include "support/build_folder.h"
#include "support/sim_child_process.h"

#include <gtest/gtest.h>

#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace telvor {
namespace {

constexpr int kProcesses = 8;
constexpr int kOperationsPerProcess = 50;
constexpr int kThreads = 8;
constexpr int kOperationsPerThread = 25;

// One "Check device version" of the device on `port`, recorded by `program`
// into `store`; true when the operation and its recording went through.
bool recordedVersionCheck(HistoryStore* store, const std::string& unavailable, const std::string& program, int port)
{
    const RecordedResult result
        = test_support::recordedOnPort(OperationKind::Version, port, {store, unavailable, program});
    return result.done && result.notRecorded.empty();
}

class ConcurrentRecording : public test_support::HistoryFolderTest {
protected:
    void SetUp() override
    {
        HistoryFolderTest::SetUp();
        m_device = std::make_unique<SimChildProcess>(test_support::builtProgram("telvor-sim"),
                                                     std::vector<std::string>{"--tcp", "127.0.0.1:0"},
                                                     SimChildProcess::ErrorOutput::silenced());
        m_port = listeningPort(m_device->firstLine());
        ASSERT_NE(m_port, 0);
    }

    // Every operation of each program succeeded and none is missing.
    void expectEveryOperation(const std::string& programPrefix, int programs, int operations)
    {
        HistoryStore store(path("history.sqlite3"));
        const std::vector<OperationRecord> recorded = store.operations();
        EXPECT_EQ(recorded.size(), static_cast<std::size_t>(programs * operations));
        std::map<std::string, int> perProgram;
        for (const OperationRecord& record : recorded) {
            EXPECT_EQ(record.outcome, Outcome::Succeeded) << record.id;
            ++perProgram[record.program];
        }
        for (int program = 0; program < programs; ++program)
            EXPECT_EQ(perProgram[programPrefix + std::to_string(program)], operations) << program;
        EXPECT_EQ(test_support::integrityOf(path("history.sqlite3")), "ok");
    }

    std::unique_ptr<SimChildProcess> m_device;
    int m_port = 0;
};

// Each process opens the history for each operation, as telvorctl does.
TEST_F(ConcurrentRecording, ProcessesAtOnceLoseNoRow)
{
    const std::string database = path("history.sqlite3");
    std::vector<pid_t> children;
    for (int process = 0; process < kProcesses; ++process) {
        const pid_t child = ::fork();
        if (child == 0) {
            int failures = 0;
            try {
                for (int operation = 0; operation < kOperationsPerProcess; ++operation) {
                    const OpenedHistory history = openHistory(database);
                    failures += recordedVersionCheck(history.store.get(), history.unavailable,
                                                     "process-" + std::to_string(process), m_port)
                        ? 0
                        : 1;
                }
            } catch (const std::exception&) {
                failures = kOperationsPerProcess;
            }
            ::_exit(failures);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << child;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed operations in process " << child;
    }
    expectEveryOperation("process-", kProcesses, kOperationsPerProcess);
}

// A fleet of devices served by the threads of one process, one store for all.
TEST_F(ConcurrentRecording, ThreadsShareOneStore)
{
    const std::unique_ptr<HistoryStore> store = openHistory(path("history.sqlite3")).store;
    ASSERT_TRUE(store);
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread)
        threads.emplace_back([&, thread] {
            for (int operation = 0; operation < kOperationsPerThread; ++operation)
                if (!recordedVersionCheck(store.get(), "", "thread-" + std::to_string(thread), m_port))
                    ++failures[thread];
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
    expectEveryOperation("thread-", kThreads, kOperationsPerThread);
}

} // namespace
} // namespace telvor
