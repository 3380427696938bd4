#include "link/host_lookup.h"

#include "link/sliced_wait.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace telvor {

namespace {

HostAddresses failure(std::string reason)
{
    HostAddresses found;
    found.failure = std::move(reason);
    return found;
}

// A lookup on a thread of its own, shared with that thread, which may
// outlive the wait for it. The waiting side owns the descriptor and closes
// it when it stops waiting, so that none is left open behind it; the
// lookup's side signals only while somebody waits.
struct PendingLookup {
    std::mutex mutex;
    HostAddresses found;
    bool done = false;      // found is set
    bool abandoned = false; // nobody waits any more
    int ready = -1;         // readable once found is set
};

} // namespace

std::string numericText(const SocketAddress& address)
{
    char text[NI_MAXHOST] = {};
    if (::getnameinfo(address.get(), address.length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
        return "?";
    return text;
}

HostAddresses lookUpHost(const std::string& host, std::uint16_t port)
{
    // The resolver reads the name up to a zero byte, which would make it
    // another name.
    if (host.find('\0') != std::string::npos)
        return failure("not a host name");
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV | AI_IDN;
    addrinfo* list = nullptr;
    const int error = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (error != 0)
        return failure(error == EAI_SYSTEM ? std::generic_category().message(errno) : ::gai_strerror(error));
    HostAddresses found;
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        SocketAddress address;
        std::memcpy(&address.storage, entry->ai_addr, entry->ai_addrlen);
        address.length = entry->ai_addrlen;
        found.addresses.push_back(address);
    }
    ::freeaddrinfo(list);
    if (found.addresses.empty())
        found.failure = ::gai_strerror(EAI_NODATA);
    return found;
}

std::string_view withoutBlanks(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view hostToLookUp(std::string_view typed)
{
    std::string_view host = withoutBlanks(typed);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return host;
}

HostAddresses lookUpWithin(const HostLookup& lookup, const std::string& host, std::uint16_t port, Milliseconds limit,
                           SlicedWait& wait)
{
    auto pending = std::make_shared<PendingLookup>();
    pending->ready = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (pending->ready < 0)
        return failure(std::generic_category().message(errno));
    try {
        // A link without a lookup of its own uses the system's.
        std::thread([pending, resolve = lookup ? lookup : HostLookup(lookUpHost), host, port] {
            HostAddresses found = resolve(host, port);
            const std::lock_guard lock(pending->mutex);
            pending->found = std::move(found);
            pending->done = true;
            if (pending->abandoned)
                return;
            const std::uint64_t one = 1;
            // Only a full counter refuses this, and one write cannot fill it.
            [[maybe_unused]] const ssize_t written = ::write(pending->ready, &one, sizeof one);
        }).detach();
    } catch (const std::system_error& error) {
        ::close(pending->ready);
        return failure(error.code().message());
    }
    wait.waitFor(pending->ready, POLLIN, limit);
    const std::lock_guard lock(pending->mutex);
    pending->abandoned = true;
    ::close(pending->ready);
    if (!pending->done)
        return failure("no answer within " + secondsText(limit));
    return std::move(pending->found);
}

} // namespace telvor
