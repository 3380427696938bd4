// The tables of the history database and how an older database is brought
// up to them. PRAGMA user_version holds the number of migrations applied.
#pragma once

#include <span>
#include <string_view>

namespace telvor {

// Entry n takes a database of version n to version n + 1.
std::span<const std::string_view> historyMigrations();

inline int historySchemaVersion()
{
    return static_cast<int>(historyMigrations().size());
}

} // namespace telvor
