#include "history_commands.h"

#include "console.h"
#include "console_surface.h"
#include "exit_status.h"
#include "history_access.h"
#include "settings_operand.h"

#include "frontend/windows_1250.h"
#include "history/history_time.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <utility>

namespace telvor {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

using Json = nlohmann::ordered_json;

std::string utf8Of(std::string_view windows1250)
{
    return decodeWindows1250(windows1250).toStdString();
}

Json digestOrNull(const std::string& digest)
{
    return digest.empty() ? Json(nullptr) : Json(digest);
}

Json optionList(std::string_view options)
{
    Json list = Json::array();
    while (!options.empty()) {
        const std::size_t comma = options.find(',');
        list.push_back(std::string(options.substr(0, comma)));
        options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
    }
    return list;
}

Json jsonOf(const OperationRecord& operation)
{
    return Json{
        {"id", operation.id},
        {"started", isoUtcText(operation.startedMs)},
        {"ended", operation.endedMs ? Json(isoUtcText(*operation.endedMs)) : Json(nullptr)},
        {"program", operation.program},
        {"operation", operation.operation},
        {"target", operation.target},
        {"version", utf8Of(operation.version)},
        {"options", optionList(operation.options)},
        {"outcome", outcomeText(operation.outcome)},
        {"status", utf8Of(operation.status)},
        {"bytes_sent", operation.bytesSent},
        {"bytes_received", operation.bytesReceived},
        {"images",
         {{"sent", digestOrNull(operation.images.sent)},
          {"read", digestOrNull(operation.images.read)},
          {"backup", digestOrNull(operation.images.backup)}}},
    };
}

std::string listLine(const OperationRecord& operation)
{
    constexpr std::string_view kGap = "  ";
    std::string line = std::to_string(operation.id);
    for (const std::string& field :
         {localTimeText(operation.startedMs), operation.program, operation.operation, operation.target,
          terminalText(operation.version), std::string(outcomeText(operation.outcome))})
        line += std::string(kGap) + field;
    return line;
}

std::string timeText(std::int64_t ms)
{
    return localTimeText(ms) + " (" + isoUtcText(ms) + ")";
}

std::string orNone(const std::string& text)
{
    return text.empty() ? "none" : text;
}

// The status text's lines below the first one indented under its start.
std::string statusBlock(std::string_view status, std::size_t indent)
{
    std::string block;
    for (const char character : terminalText(statusLines(status))) {
        block += character;
        if (character == '\n')
            block.append(indent, ' ');
    }
    return block;
}

std::string counted(int number, std::string_view thing)
{
    return std::to_string(number) + " " + std::string(thing) + (number == 1 ? "" : "s");
}

} // namespace

int runHistory(const Invocation& invocation)
{
    const std::unique_ptr<HistoryStore> store = openHistoryFor(invocation);
    if (!store)
        return kExitUsage;
    std::vector<OperationRecord> operations;
    try {
        operations = store->operations(invocation.target.value_or(""), invocation.limit);
    } catch (const HistoryError& failure) {
        printError(failure.what());
        return kExitUsage;
    }
    if (invocation.json) {
        Json list = Json::array();
        for (const OperationRecord& operation : operations)
            list.push_back(jsonOf(operation));
        printLine(list.dump(2, ' ', false, Json::error_handler_t::replace));
        return kExitSuccess;
    }
    for (const OperationRecord& operation : operations)
        printLine(listLine(operation));
    return kExitSuccess;
}

int runHistoryShow(const Invocation& invocation)
{
    const std::optional<NamedOperation> named = namedOperation(invocation);
    if (!named)
        return kExitUsage;
    const OperationRecord& operation = named->operation;
    constexpr std::string_view kStatusLabel = "Status: ";
    const std::array<std::pair<std::string_view, std::string>, 15> details{{
        {"Id: ", std::to_string(operation.id)},
        {"Started: ", timeText(operation.startedMs)},
        {"Ended: ", operation.endedMs ? timeText(*operation.endedMs) : "not yet"},
        {"Program: ", operation.program},
        {"Operation: ", operation.operation},
        {"Target: ", operation.target},
        {"Device version: ", terminalText(operation.version)},
        {"Service options: ", orNone(operation.options)},
        {"Outcome: ", std::string(outcomeText(operation.outcome))},
        {kStatusLabel, statusBlock(operation.status, kStatusLabel.size())},
        {"Bytes sent: ", std::to_string(operation.bytesSent)},
        {"Bytes received: ", std::to_string(operation.bytesReceived)},
        {"Image sent: ", orNone(operation.images.sent)},
        {"Image read: ", orNone(operation.images.read)},
        {"Backup image: ", orNone(operation.images.backup)},
    }};
    for (const auto& [label, value] : details)
        printLine(std::string(label) + value);
    return kExitSuccess;
}

int runHistoryExport(const Invocation& invocation)
{
    const std::optional<NamedOperation> named = namedOperation(invocation);
    if (!named)
        return kExitUsage;
    // A write's image is the one it sent; a read's, the one it read.
    const std::string& kind = named->operation.operation;
    const bool wrote = kind == operationText(OperationKind::Write) || kind == operationText(OperationKind::Restore);
    const std::optional<SettingsImage> image = recordedImage(*named->store, named->operation, invocation.image,
                                                             wrote ? ImageChoice::Sent : ImageChoice::Read);
    if (!image)
        return kExitUsage;
    return writeSettingsOperand(invocation.operands.at(1), *image) ? kExitSuccess : kExitUsage;
}

int runHistoryPrune(const Invocation& invocation)
{
    if (!invocation.olderThanDays) {
        printError("history prune needs --older-than DAYS");
        return kExitUsage;
    }
    const std::unique_ptr<HistoryStore> store = openHistoryFor(invocation);
    if (!store)
        return kExitUsage;
    try {
        const PruneCount removed = store->prune(currentTimeMs() - *invocation.olderThanDays * kMsPerDay);
        printLine("Removed " + counted(removed.operations, "operation") + " and " + counted(removed.images, "image"));
    } catch (const HistoryError& failure) {
        printError(failure.what());
        return kExitUsage;
    }
    return kExitSuccess;
}

} // namespace telvor
