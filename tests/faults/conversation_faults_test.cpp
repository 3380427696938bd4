// The device misbehaves at one line of a conversation, at every line in
// turn: it closes the connection, stops answering, answers "ERROR", or sends
// bytes that are no reply. Each run must end as that line's failure row says
// (or go on where its result is ignored), within its time limits, with the
// link closed and no descriptor left open; a write leaves the working image
// as it was, a read keeps the answers parsed before the failure and nothing
// else.
#include "fault_run.h"
#include "support/device_images.h"

#include "image/settings_parser.h"
#include "sim/virtual_device.h"
#include "support/row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace telvor {
namespace {

using std::chrono::milliseconds;

// The link's limits cut 25-fold: 200 ms for a command, 120 ms for a query.
constexpr int kTimingDivisor = 25;
// Beyond the time limits that a run must wait out: the conversation itself
// and a loaded machine.
constexpr milliseconds kSlack{3000};
constexpr int kVersionNumber = 0x36;

const Timing kTiming = Timing{}.scaledDown(kTimingDivisor);

// What an unanswered line brings about: the box and the status text. No
// value for a line whose result is ignored.
struct LineEnd {
    std::string box;
    std::string status;
};

const std::map<std::string, LineEnd, std::less<>> kVerificationQueries{
    {"SET?", {"No answer from device (SET?)", "Connection error (SET?)"}},
    {"SMS?", {"No answer from device (SMS?)", "SMS body read error"}},
    {"APN?", {"No answer from device (APN?)", "APN settings read error"}},
    {"EAD?", {"No answer from device (EAD?)", "Error during cfg. read (EAD)"}},
    {"XCFG?", {"No answer from device (XCFG?)", "Error during cfg. read (XCFG)"}},
    {"ECFG?", {"No answer from device (ECFG?)", "Error during cfg. read (ECFG)"}},
};

// The "HALT!" that begins each verification stage, by the stage's query.
const std::map<std::string, LineEnd, std::less<>> kStageHalts{
    {"SET?", {"No answer from device (HALT 2)", "Connection error (HALT 2)"}},
    {"SMS?", {"No answer from device (HALT 3)", "Connection error (HALT 3)"}},
    {"APN?", {"No answer from device (HALT 4)", "Connection error (HALT 4)"}},
    {"EAD?", {"No answer from device Telvor (HALT 5)", "Connection error (HALT 5)"}},
    {"XCFG?", {"No answer from device (HALT 6)", "Connection error (HALT 6)"}},
    {"ECFG?", {"No answer from device (HALT 7)", "Connection error (HALT 7)"}},
};

const std::map<std::string, LineEnd, std::less<>> kServiceCommands{
    {"RCNT!", {"No answer from device (RCNT)", "Error during counter reset"}},
    {"ERS!", {"No answer from device (ERS)", "Error during log erase"}},
    {"TIME", {"No answer from device (TIME)", "Error during RTC update"}},
};

// The status text of an unacknowledged write line, by the line's first key,
// or by that key without its index for the indexed rows. The box names the
// first key as it stands in the line.
const std::map<std::string, std::string, std::less<>> kWriteStatus{
    {"PIN", "Write error (1)"},           {"NUM2", "Write error (2)"},           {"NUM4", "Write error (3)"},
    {"TRPT", "Write error (4)"},          {"RCFG", "Write error (5)"},           {"MCFG1", "Write error (6)"},
    {"RPTHR", "Write error (7)"},         {"ALMD", "Write error (8)"},           {"SMS", "SMS write error"},
    {"ICFG", "Write error (inputs cfg)"}, {"OCFG", "Write error (outputs cfg)"}, {"LOGT", "Write error: LOGT"},
    {"GRDHR", "Write error (GRDHR)"},     {"ADEL1", "Write error: ADEL(1)"},     {"ADEL5", "Write error: ADEL(5)"},
    {"APN", "Write error: APN"},          {"EAD", "Write error: EAD"},           {"SEML1", "Write error: SEML(1)"},
    {"SEML5", "Write error: SEML(5)"},    {"SLOG", "Write error: SLOG"},         {"MCFG2", "Write error: MCFG"},
    {"XCFG1", "Write error: XCFG1"},      {"XCFG7", "Write error: XCFG7"},       {"XCFG13", "Write error: XCFG13"},
    {"XTYP1", "Write error: XTYP1"},      {"XMS", "Write error: XMS"},           {"NUM6", "Write error (NUM6)"},
    {"NUM9", "Write error (NUM9)"},       {"ATIM", "Write error (ATIM)"},        {"THTP", "Write error: THTP"},
    {"URL0", "Write error: URL0"},        {"URL1", "Write error: URL1"},         {"URL2", "Write error: URL2"},
    {"WKD1", "Write error: WKD"},
};

const std::map<std::string, LineEnd, std::less<>> kReadQueries{
    {"SET?", {"No answer from device", "Settings read error"}},
    {"SMS?", {"No answer from device", "SMS body read error"}},
    {"APN?", {"No answer from device", "APN settings read error"}},
    {"EAD?", {"No answer from device", "EAD settings read error"}},
    {"XCFG?", {"No answer from device", "XCFG settings read error"}},
    {"ECFG?", {"No answer for ECFG command", "ECFG settings read error"}},
};

const LineEnd kOpeningHaltOfWrite{"No answer from device (HALT 1)", "Connection error (HALT)"};
const LineEnd kOpeningHaltOfRead{"No answer from device", "Connection error (HALT)"};
const LineEnd kVersionQuery{"No answer from device (VER)", "Version read error"};

const std::string kWriteSucceeded = "Configuration transferred to device,\r\nverification successful.,counters cleared"
                                    ", log cleared,RTC updated,\r\ndevice reset.";
const std::string kWriteVerifyFailed = "Configuration transferred to device,\r\nwverification failed!";
// A "SET?" answer that sets nothing leaves the verification image empty, so
// every comparison of the first stage fails, and the box names the last one.
const std::string kEmptySettingsAnswerBox = "Verify error (CTRLCFG2)";
const std::string kReadSucceeded = "Settings read successfully";

bool isQuery(std::string_view line)
{
    return line.ends_with('?') && line != "VER?";
}

std::string firstKey(std::string_view line)
{
    return std::string(line.substr(0, line.find('=')));
}

std::string withoutIndex(std::string key)
{
    while (!key.empty() && key.back() >= '0' && key.back() <= '9')
        key.pop_back();
    return key;
}

std::optional<LineEnd> writeLineEnd(const std::vector<std::string>& lines, std::size_t index)
{
    const std::string& line = lines.at(index);
    if (index < 2 || line == "INIT!")
        return std::nullopt;
    if (index == 2)
        return kOpeningHaltOfWrite;
    if (line == "VER?")
        return kVersionQuery;
    if (line == "HALT!") {
        if (index + 1 < lines.size())
            if (const auto stage = kStageHalts.find(lines[index + 1]); stage != kStageHalts.end())
                return stage->second;
        return std::nullopt;
    }
    if (const auto query = kVerificationQueries.find(line); query != kVerificationQueries.end())
        return query->second;
    const std::string key = firstKey(line);
    if (const auto service = kServiceCommands.find(key); service != kServiceCommands.end())
        return service->second;
    const std::string box = "No answer from device (" + key + ")";
    if (withoutIndex(key) == "ECFG")
        return LineEnd{box, box};
    auto status = kWriteStatus.find(key);
    if (status == kWriteStatus.end())
        status = kWriteStatus.find(withoutIndex(key));
    if (status == kWriteStatus.end())
        throw std::logic_error("a write line of no known row: " + line);
    return LineEnd{box, status->second};
}

std::optional<LineEnd> readLineEnd(const std::vector<std::string>& lines, std::size_t index)
{
    const std::string& line = lines.at(index);
    if (index < 2)
        return std::nullopt;
    if (index == 2)
        return kOpeningHaltOfRead;
    if (line == "VER?")
        return kVersionQuery;
    if (line == "HALT!")
        return std::nullopt;
    return kReadQueries.at(line);
}

const char* faultName(LineFault fault)
{
    switch (fault) {
    case LineFault::Close:
        return "Close";
    case LineFault::Silent:
        return "Silent";
    case LineFault::Error:
        return "Error";
    case LineFault::Garbage:
        return "Garbage";
    }
    return "";
}

// How a run with one fault must end.
struct ExpectedEnd {
    bool result = true;
    std::string status;
    std::vector<std::string> boxes;
    // The line (0-based) after which the device hears nothing more; none
    // when the conversation goes on to its end.
    std::optional<std::size_t> lastLine;
    // Limits that the run waits out.
    milliseconds waited{0};
    // Write: the rewrite that an empty answer leads to. Read: the query
    // whose answer sets nothing.
    bool emptyAnswer = false;
};

using LineEndRule = std::optional<LineEnd> (*)(const std::vector<std::string>&, std::size_t);

// Once the device closed, every later line fails at once; the first whose
// result counts ends the run. Any other fault touches only its own line: a
// command waits out its limit and fails unless its result is ignored or,
// for a message body, the line is repeated; a query answered with anything
// counts as answered.
ExpectedEnd expectedEnd(const std::vector<std::string>& lines, std::size_t index, LineFault fault, LineEndRule lineEnd,
                        const std::string& succeeded)
{
    ExpectedEnd expected;
    expected.status = succeeded;
    const auto fail = [&](std::size_t at) {
        const LineEnd end = *lineEnd(lines, at);
        expected.result = false;
        expected.status = end.status;
        expected.boxes = {end.box};
        expected.lastLine = at;
    };
    const std::string& line = lines.at(index);
    if (fault == LineFault::Close) {
        for (std::size_t at = index; at < lines.size(); ++at)
            if (lineEnd(lines, at)) {
                fail(at);
                expected.lastLine = index;
                break;
            }
        return expected;
    }
    if (isQuery(line)) {
        if (fault == LineFault::Silent) {
            fail(index);
        } else {
            expected.emptyAnswer = true;
        }
        expected.waited = kTiming.tcpQuery + kTiming.rewriteDelayLong * 2;
        return expected;
    }
    expected.waited = kTiming.tcpCommand;
    if (line.starts_with("SMS") && line.find('=') != std::string::npos)
        return expected;
    if (lineEnd(lines, index))
        fail(index);
    return expected;
}

struct Conversation {
    FaultSetup setup;
    std::vector<std::string> lines;
};

FaultSetup setupFor(Operation operation)
{
    FaultSetup setup;
    setup.operation = operation;
    setup.deviceImage = everyGroupImage();
    setup.working = operation == Operation::Write ? everyGroupImage() : otherImage();
    setup.timing = kTiming;
    return setup;
}

// The lines of the conversation when nothing goes wrong.
const Conversation& cleanConversation(Operation operation)
{
    static std::map<Operation, Conversation> conversations;
    auto found = conversations.find(operation);
    if (found == conversations.end()) {
        Conversation conversation{setupFor(operation), {}};
        const FaultRun clean = runWithFaults(conversation.setup);
        EXPECT_TRUE(clean.result) << clean.status;
        conversation.lines = clean.deviceLines;
        found = conversations.emplace(operation, conversation).first;
    }
    return found->second;
}

// The working image after a read that parsed the answers of the queries
// before `stop` (0-based line) and none after, leaving out the one at
// `skipped` (past the last line for none).
SettingsImage imageAfterRead(const Conversation& conversation, std::optional<std::size_t> stop, std::size_t skipped)
{
    VirtualDevice device(conversation.setup.deviceImage);
    SettingsImage image = conversation.setup.working;
    for (std::size_t at = 0; at < conversation.lines.size() && (!stop || at < *stop); ++at) {
        const std::string& line = conversation.lines[at];
        if (!isQuery(line) || at == skipped)
            continue;
        parseSettings(device.handleLine(line).bytes, image, kVersionNumber);
    }
    return image;
}

struct MatrixRow {
    Operation operation;
    LineFault fault;
};

class FaultAtEveryLine : public testing::TestWithParam<MatrixRow> {};

TEST_P(FaultAtEveryLine, EndsAsTheLinesRowSays)
{
    const MatrixRow row = GetParam();
    const Conversation& conversation = cleanConversation(row.operation);
    ASSERT_GT(conversation.lines.size(), 4u);
    const bool write = row.operation == Operation::Write;
    for (std::size_t index = 0; index < conversation.lines.size(); ++index) {
        const std::string& line = conversation.lines[index];
        SCOPED_TRACE(std::string(faultName(row.fault)) + " at line " + std::to_string(index + 1) + " " + line);
        const ExpectedEnd expected = write
            ? expectedEnd(conversation.lines, index, row.fault, writeLineEnd, kWriteSucceeded)
            : expectedEnd(conversation.lines, index, row.fault, readLineEnd, kReadSucceeded);
        FaultSetup setup = conversation.setup;
        setup.faults.faultsAt[static_cast<int>(index) + 1] = row.fault;
        const FaultRun run = runWithFaults(setup);

        const bool emptySettingsAnswer = write && expected.emptyAnswer && line == "SET?";
        EXPECT_EQ(run.result, expected.result && !emptySettingsAnswer);
        EXPECT_EQ(run.status, emptySettingsAnswer ? kWriteVerifyFailed : expected.status);
        EXPECT_EQ(run.boxes, emptySettingsAnswer ? std::vector<std::string>{kEmptySettingsAnswerBox} : expected.boxes);
        EXPECT_LT(run.elapsed, expected.waited + kSlack);
        EXPECT_EQ(run.descriptorsAfter, run.descriptorsBefore);
        if (expected.lastLine) {
            ASSERT_EQ(run.deviceLines.size(), *expected.lastLine + 1);
            EXPECT_TRUE(std::equal(run.deviceLines.begin(), run.deviceLines.end(), conversation.lines.begin()));
        }
        if (write) {
            EXPECT_EQ(run.working, setup.working);
        } else {
            const std::size_t skipped = expected.emptyAnswer ? index : conversation.lines.size();
            EXPECT_EQ(run.working, imageAfterRead(conversation, expected.lastLine, skipped));
        }
    }
}

std::string matrixRowName(const testing::TestParamInfo<MatrixRow>& info)
{
    return std::string(info.param.operation == Operation::Write ? "Write" : "Read") + faultName(info.param.fault);
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, FaultAtEveryLine,
    testing::Values(MatrixRow{Operation::Write, LineFault::Close}, MatrixRow{Operation::Write, LineFault::Silent},
                    MatrixRow{Operation::Write, LineFault::Error}, MatrixRow{Operation::Write, LineFault::Garbage},
                    MatrixRow{Operation::Read, LineFault::Close}, MatrixRow{Operation::Read, LineFault::Silent},
                    MatrixRow{Operation::Read, LineFault::Error}, MatrixRow{Operation::Read, LineFault::Garbage}),
    matrixRowName);

// Over a serial line a pseudo-terminal cannot hang up: the device goes
// deaf at the line instead, and every later line waits out the serial limit.
// Every serial reply ends with a pause between bytes, so these limits are
// cut less, for a loaded machine.
const Timing kSerialTiming = Timing{}.scaledDown(10);

struct SerialRow {
    const char* name;
    Operation operation;
    const char* line; // the first line that begins so is where the device goes deaf
};

// The limits that the lines from the deaf one to the one that ends the run
// wait out: a command its reply limit (a message body twice), a query its
// answer limit; every line before them the pause that ends a reply.
milliseconds serialWaits(const std::vector<std::string>& lines, std::size_t deaf, const ExpectedEnd& expected)
{
    const auto commandLimit = kSerialTiming.serialReadBase + kSerialTiming.serialReadPerByte * 40;
    const auto queryLimit = kSerialTiming.serialReadBase + kSerialTiming.serialReadPerByte * 4096;
    milliseconds waits = kSerialTiming.serialInterByte * static_cast<long>(deaf);
    const std::size_t last = expected.lastLine ? std::max(deaf, *expected.lastLine) : lines.size() - 1;
    for (std::size_t at = deaf; at <= last; ++at) {
        const bool body = lines[at].starts_with("SMS") && lines[at].find('=') != std::string::npos;
        waits += isQuery(lines[at]) ? queryLimit : commandLimit * (body ? 2 : 1);
    }
    return waits;
}

class SerialLineClosing : public testing::TestWithParam<SerialRow> {};

TEST_P(SerialLineClosing, EndsAsTheLinesRowSays)
{
    const SerialRow row = GetParam();
    const Conversation& conversation = cleanConversation(row.operation);
    const auto found = std::find_if(conversation.lines.begin(), conversation.lines.end(),
                                    [&](const std::string& line) { return line.starts_with(row.line); });
    ASSERT_NE(found, conversation.lines.end());
    const auto index = static_cast<std::size_t>(found - conversation.lines.begin());
    const bool write = row.operation == Operation::Write;
    const ExpectedEnd expected = write
        ? expectedEnd(conversation.lines, index, LineFault::Close, writeLineEnd, kWriteSucceeded)
        : expectedEnd(conversation.lines, index, LineFault::Close, readLineEnd, kReadSucceeded);

    FaultSetup setup = conversation.setup;
    setup.transport = Transport::Serial;
    setup.timing = kSerialTiming;
    setup.faults.faultsAt[static_cast<int>(index) + 1] = LineFault::Close;
    const FaultRun run = runWithFaults(setup);

    EXPECT_EQ(run.result, expected.result);
    EXPECT_EQ(run.status, expected.status);
    EXPECT_EQ(run.boxes, expected.boxes);
    EXPECT_LT(run.elapsed, serialWaits(conversation.lines, index, expected) + kSlack);
    EXPECT_EQ(run.descriptorsAfter, run.descriptorsBefore);
    if (write) {
        EXPECT_EQ(run.working, setup.working);
    } else {
        EXPECT_EQ(run.working, imageAfterRead(conversation, expected.lastLine, conversation.lines.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialLineClosing,
                         testing::Values(SerialRow{"WriteAtTheFirstLine", Operation::Write, "HALT!"},
                                         SerialRow{"WriteAtAMessageBody", Operation::Write, "SMS4="},
                                         SerialRow{"WriteAtTheSettingsReadBack", Operation::Write, "SET?"},
                                         SerialRow{"WriteAtTheDeviceReset", Operation::Write, "INIT!"},
                                         SerialRow{"ReadAtTheMessageBodies", Operation::Read, "SMS?"},
                                         SerialRow{"ReadAtTheLastQuery", Operation::Read, "ECFG?"}),
                         test_support::RowName());

} // namespace
} // namespace telvor
