#include "history_access.h"

#include "console.h"

#include <charconv>

namespace telvor {

namespace {

std::string_view imageName(ImageChoice image)
{
    for (const auto& [name, named] : kImageNames)
        if (named == image)
            return name;
    return {};
}

const std::string& digestOf(const RecordedImages& images, ImageChoice image)
{
    switch (image) {
    case ImageChoice::Sent:
        return images.sent;
    case ImageChoice::Read:
        return images.read;
    case ImageChoice::Backup:
        break;
    }
    return images.backup;
}

} // namespace

std::unique_ptr<HistoryStore> openHistoryFor(const Invocation& invocation)
{
    OpenedHistory opened = openHistory(invocation.historyFile);
    if (!opened.store)
        printError("history: " + opened.unavailable);
    return std::move(opened.store);
}

namespace {

std::optional<OperationRecord> recordedOperation(HistoryStore& store, const std::string& id)
{
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), number);
    if (id.empty() || error != std::errc() || end != id.data() + id.size() || number < 1) {
        printError("an operation's ID is a whole number from 1 on, not \"" + id + "\"");
        return std::nullopt;
    }
    try {
        std::optional<OperationRecord> operation = store.operation(number);
        if (!operation)
            printError(store.path() + ": no operation " + id);
        return operation;
    } catch (const HistoryError& failure) {
        printError(failure.what());
        return std::nullopt;
    }
}

} // namespace

std::optional<NamedOperation> namedOperation(const Invocation& invocation)
{
    std::unique_ptr<HistoryStore> store = openHistoryFor(invocation);
    if (!store)
        return std::nullopt;
    std::optional<OperationRecord> operation = recordedOperation(*store, invocation.operands.at(0));
    if (!operation)
        return std::nullopt;
    return NamedOperation{std::move(store), std::move(*operation)};
}

std::optional<SettingsImage> recordedImage(HistoryStore& store, const OperationRecord& operation,
                                           std::optional<ImageChoice> chosen, ImageChoice fallback)
{
    const ImageChoice image = chosen.value_or(fallback);
    const std::string& digest = digestOf(operation.images, image);
    if (digest.empty()) {
        printError("operation " + std::to_string(operation.id) + " (" + operation.operation + ") has no "
                   + std::string(imageName(image)) + " image");
        return std::nullopt;
    }
    try {
        return store.image(digest);
    } catch (const HistoryError& failure) {
        printError(failure.what());
        return std::nullopt;
    }
}

} // namespace telvor
