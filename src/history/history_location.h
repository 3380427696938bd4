// Where a program keeps its history: one database per user, unless the
// command line or the environment names another file.
#pragma once

#include <optional>
#include <string>

namespace telvor {

struct HistoryLocation {
    std::string path;
    // The per-user place, whose missing folders are made (0700) on first use;
    // a file named by the user lies in a folder the user made.
    bool perUser = false;

    bool operator==(const HistoryLocation&) const = default;
};

// `chosen` (telvorctl's --history FILE) when given, else $TELVOR_HISTORY
// when set and not empty, else history.sqlite3 in the folder telvor of
// $XDG_DATA_HOME (when that is an absolute path) or of $HOME/.local/share.
// Nothing when none of them names a place.
std::optional<HistoryLocation> historyLocation(const std::optional<std::string>& chosen = std::nullopt);

} // namespace telvor
