#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "app/core/p_file_manager.h"

namespace quorvel::testing {

struct StoredSession {
    double end = 0;  // seconds since the reference date
    std::int64_t minutes = 0;
};

// The sessions in the store the program left in the data root, oldest first; none when the store
// cannot be read.
inline std::optional<std::vector<StoredSession>> storedSessions() {
    const auto file = *PFileManager::shared()->storeDirectoryURL() / "store.sqlite";
    std::optional<std::vector<StoredSession>> sessions;
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT timestamp, duration FROM Session ORDER BY timestamp", -1, &rows,
                           nullptr) == SQLITE_OK) {
        sessions.emplace();
        while (sqlite3_step(rows) == SQLITE_ROW)
            sessions->push_back({sqlite3_column_double(rows, 0), sqlite3_column_int64(rows, 1)});
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return sessions;
}

}  // namespace quorvel::testing
