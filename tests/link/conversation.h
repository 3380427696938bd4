// A conversation of the link under test with a scripted peer, as one row of
// a table: what the peer answers, the exchanges the link runs and what each
// must give.
#pragma once

#include "scripted_peer.h"

#include "link/device_link.h"

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace telvor {

// Names in the failure messages of the tests.
void PrintTo(OpenResult result, std::ostream* out);
void PrintTo(CommandResult result, std::ostream* out);
void PrintTo(QueryResult result, std::ostream* out);

} // namespace telvor

namespace telvor::test {

struct Exchange {
    enum class Kind { Command, Query };

    Kind kind = Kind::Command;
    std::string text;
    CommandResult commandResult = CommandResult::Acknowledged;
    QueryResult queryResult = QueryResult::Answered;
    // reply() after a command, answer() after a query.
    std::string expected;
    // Peer steps that must have sent their whole reply before the exchange
    // starts.
    std::size_t stepsBefore = 0;
    // The exchange must take at least this long.
    std::chrono::milliseconds atLeast{0};

    Exchange after(std::size_t steps) const;
    Exchange takingAtLeast(std::chrono::milliseconds time) const;
    // Whether the link puts the line on the wire.
    bool sent() const;
};

Exchange command(std::string text, CommandResult result, std::string reply);
Exchange query(std::string text, QueryResult result, std::string answer);

// Runs the exchanges on the open link and checks each; returns the bytes
// the peer should have received.
std::string runExchanges(DeviceLink& link, ScriptedPeer& peer, const std::vector<Exchange>& exchanges);

} // namespace telvor::test
