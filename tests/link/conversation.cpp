#include "conversation.h"

#include <gtest/gtest.h>

namespace telvor {

void PrintTo(OpenResult result, std::ostream* out)
{
    constexpr const char* kNames[] = {"Opened", "PortUnavailable", "NotConnected", "NoSocket", "SocketNotNonBlocking"};
    *out << kNames[static_cast<int>(result)];
}

void PrintTo(CommandResult result, std::ostream* out)
{
    constexpr const char* kNames[]
        = {"Acknowledged", "NotSent", "NotAcknowledged", "NoReply", "TimedOut", "ConnectionClosed", "ReceiveFailed"};
    *out << kNames[static_cast<int>(result)];
}

void PrintTo(QueryResult result, std::ostream* out)
{
    constexpr const char* kNames[] = {"Answered", "NotSent", "NoAnswer", "ReceiveFailed"};
    *out << kNames[static_cast<int>(result)];
}

} // namespace telvor

namespace telvor::test {

Exchange Exchange::after(std::size_t steps) const
{
    Exchange later = *this;
    later.stepsBefore = steps;
    return later;
}

Exchange Exchange::takingAtLeast(std::chrono::milliseconds time) const
{
    Exchange slow = *this;
    slow.atLeast = time;
    return slow;
}

bool Exchange::sent() const
{
    return kind == Kind::Command ? commandResult != CommandResult::NotSent : queryResult != QueryResult::NotSent;
}

Exchange command(std::string text, CommandResult result, std::string reply)
{
    Exchange exchange;
    exchange.text = std::move(text);
    exchange.commandResult = result;
    exchange.expected = std::move(reply);
    return exchange;
}

Exchange query(std::string text, QueryResult result, std::string answer)
{
    Exchange exchange;
    exchange.kind = Exchange::Kind::Query;
    exchange.text = std::move(text);
    exchange.queryResult = result;
    exchange.expected = std::move(answer);
    return exchange;
}

std::string runExchanges(DeviceLink& link, ScriptedPeer& peer, const std::vector<Exchange>& exchanges)
{
    std::string sent;
    for (std::size_t index = 0; index < exchanges.size(); ++index) {
        const Exchange& exchange = exchanges[index];
        SCOPED_TRACE("exchange " + std::to_string(index + 1) + ": " + exchange.text.substr(0, 20));
        if (exchange.stepsBefore > 0)
            peer.waitForSteps(exchange.stepsBefore);
        const auto start = std::chrono::steady_clock::now();
        if (exchange.kind == Exchange::Kind::Command) {
            EXPECT_EQ(link.sendCommand(exchange.text), exchange.commandResult);
            EXPECT_EQ(link.reply(), exchange.expected);
        } else {
            EXPECT_EQ(link.sendQuery(exchange.text), exchange.queryResult);
            EXPECT_EQ(link.answer(), exchange.expected);
        }
        EXPECT_GE(std::chrono::steady_clock::now() - start, exchange.atLeast);
        if (exchange.sent())
            sent += exchange.text + "\r";
    }
    return sent;
}

} // namespace telvor::test
