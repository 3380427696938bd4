#include "scripted_peer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace telvor::test {

namespace {

constexpr int kPollSliceMs = 10;

} // namespace

PeerStep replyWith(std::string bytes)
{
    return PeerStep{{ReplyPiece{0ms, std::move(bytes)}}};
}

ScriptedPeer::ScriptedPeer(int descriptor, std::vector<PeerStep> steps, bool listening)
    : m_descriptor(descriptor)
    , m_listening(listening)
    , m_steps(std::move(steps))
    , m_thread([this] { run(); })
{
}

ScriptedPeer::~ScriptedPeer()
{
    finish();
}

void ScriptedPeer::waitForSteps(std::size_t count)
{
    std::unique_lock lock(m_mutex);
    m_stepDone.wait_for(lock, 10s, [&] { return m_stepsDone >= count; });
}

std::string ScriptedPeer::finish()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_ownsDescriptor) {
        ::close(m_descriptor);
        m_ownsDescriptor = false;
    }
    return m_received;
}

void ScriptedPeer::run()
{
    if (m_listening) {
        pollfd watched{m_descriptor, POLLIN, 0};
        if (::poll(&watched, 1, 10000) != 1)
            return;
        m_descriptor = ::accept(m_descriptor, nullptr, nullptr);
        if (m_descriptor < 0)
            return;
        m_ownsDescriptor = true;
    }
    std::string pending;
    for (const PeerStep& step : m_steps) {
        if (!readLine(pending))
            return;
        for (const ReplyPiece& piece : step.reply) {
            std::this_thread::sleep_for(piece.pause);
            if (::write(m_descriptor, piece.bytes.data(), piece.bytes.size())
                != static_cast<ssize_t>(piece.bytes.size()))
                return;
        }
        if (step.end != PeerStep::End::StayOpen) {
            if (step.end == PeerStep::End::Reset) {
                const linger abortive{1, 0};
                ::setsockopt(m_descriptor, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
            }
            ::close(m_descriptor);
            m_ownsDescriptor = false;
        }
        {
            std::lock_guard lock(m_mutex);
            ++m_stepsDone;
        }
        m_stepDone.notify_all();
        if (step.end != PeerStep::End::StayOpen)
            return;
    }
    readRest();
}

// Takes bytes until one whole line (ended by CR) is pending, and removes it.
bool ScriptedPeer::readLine(std::string& pending)
{
    for (;;) {
        const auto end = pending.find('\r');
        if (end != std::string::npos) {
            pending.erase(0, end + 1);
            return true;
        }
        pollfd watched{m_descriptor, POLLIN, 0};
        const int ready = ::poll(&watched, 1, kPollSliceMs);
        if (ready == 0) {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return false;
            continue;
        }
        char buffer[8192];
        const ssize_t count = ::read(m_descriptor, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        m_received.append(buffer, static_cast<std::size_t>(count));
        pending.append(buffer, static_cast<std::size_t>(count));
    }
}

void ScriptedPeer::readRest()
{
    for (;;) {
        pollfd watched{m_descriptor, POLLIN, 0};
        const int ready = ::poll(&watched, 1, kPollSliceMs);
        if (ready == 0) {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            continue;
        }
        char buffer[8192];
        const ssize_t count = ::read(m_descriptor, buffer, sizeof buffer);
        if (count <= 0)
            return;
        m_received.append(buffer, static_cast<std::size_t>(count));
    }
}

} // namespace telvor::test
