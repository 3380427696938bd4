// What the commands that read the history share: the store the options
// name, an operation by its id, one of its images. Each prints what went
// wrong, naming the file, and gives nothing then.
#pragma once

#include "invocation.h"

#include "history/history_store.h"

#include <memory>
#include <optional>
#include <string>

namespace telvor {

std::unique_ptr<HistoryStore> openHistoryFor(const Invocation& invocation);

// The operation whose id is the invocation's first operand, with the store
// it was found in.
struct NamedOperation {
    std::unique_ptr<HistoryStore> store;
    OperationRecord operation;
};
std::optional<NamedOperation> namedOperation(const Invocation& invocation);

// The image `chosen` names, else `fallback`'s.
std::optional<SettingsImage> recordedImage(HistoryStore& store, const OperationRecord& operation,
                                           std::optional<ImageChoice> chosen, ImageChoice fallback);

} // namespace telvor
