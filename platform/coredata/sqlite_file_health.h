#pragma once

#include <filesystem>
#include <string>

struct sqlite3;

namespace platform {

// Whether an SQLite file that is open is a sound database, and how a damaged one is put out of the way.
class SQLiteFileHealth {
public:
    enum class Health { Sound, Damaged, Unreadable };
    // Every page, or only the header and the list of tables (which finds a file of another kind or
    // one damaged at its start in no time, whatever its size).
    enum class Depth { Whole, Schema };

    // Damaged only when SQLite finds the file is not a sound database (with what it found in
    // `reason`); a busy, locked or unreadable file is Unreadable and best left where it is, so a
    // passing problem never hides the user's data.
    static Health check(sqlite3* db, std::string& reason, Depth depth = Depth::Whole);
    // Renames the closed file and its journal aside under the first free "<name>.damaged-<n>".
    static std::filesystem::path setAside(const std::filesystem::path& file);
};

}  // namespace platform
