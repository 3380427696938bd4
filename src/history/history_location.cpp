#include "history/history_location.h"

#include <cstdlib>

namespace telvor {

namespace {

constexpr const char* kDatabaseName = "telvor/history.sqlite3";

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

} // namespace

std::optional<HistoryLocation> historyLocation(const std::optional<std::string>& chosen)
{
    if (chosen)
        return HistoryLocation{*chosen, false};
    if (const auto named = environment("TELVOR_HISTORY"))
        return HistoryLocation{*named, false};
    // A relative data folder is not to be used (XDG Base Directory rules).
    if (const auto data = environment("XDG_DATA_HOME"); data && data->front() == '/')
        return HistoryLocation{*data + "/" + kDatabaseName, true};
    if (const auto home = environment("HOME"))
        return HistoryLocation{*home + "/.local/share/" + kDatabaseName, true};
    return std::nullopt;
}

} // namespace telvor
