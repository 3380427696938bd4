// How the operations of the device link end. Each transport notices its own
// kinds of failure, so some results only ever come from one of them.
#pragma once

namespace telvor {

enum class OpenResult {
    Opened,
    // Serial: the port names no device or cannot be opened; the link's
    // openFailureDetail() says why.
    PortUnavailable,
    // TCP: the host could not be resolved, or no connection to any of its
    // addresses was confirmed within timing.tcpConnect (refused, silent);
    // the link's openFailureDetail() says which.
    NotConnected,
    // TCP: no socket can be made.
    NoSocket,
    // TCP: the socket cannot be made non-blocking.
    SocketNotNonBlocking,
    // The link's stop was requested before a connection was made.
    Stopped,
};

enum class CommandResult {
    Acknowledged,
    // The line was not written or sent whole, or it does not fit the
    // 4096-byte line buffer with its CR. TCP: the connection is closed.
    NotSent,
    // Serial: the reply does not begin with "OK" CR.
    NotAcknowledged,
    // Serial: nothing was received.
    NoReply,
    // TCP: no acknowledgement within timing.tcpCommand. The connection
    // stays open and the conversation can go on.
    TimedOut,
    // TCP: the device closed the connection.
    ConnectionClosed,
    // TCP: receiving failed; the connection is closed.
    ReceiveFailed,
    // The link's stop was requested; the link is closed.
    Stopped,
};

enum class QueryResult {
    // Some answer was received, complete or not, and is in answer().
    Answered,
    // The line was not written or sent whole, or it does not fit the
    // 1024-byte line buffer with its CR. TCP: the connection is closed.
    NotSent,
    // Nothing was received; TCP also: the device closed the connection,
    // whatever had come before.
    NoAnswer,
    // TCP: receiving failed; the connection is closed.
    ReceiveFailed,
    // The link's stop was requested; the link is closed.
    Stopped,
};

} // namespace telvor
