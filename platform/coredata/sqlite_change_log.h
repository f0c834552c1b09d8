#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/ns_managed_object_model.h"

struct sqlite3;

namespace platform {

// A store file's log of saved changes: one entry per changed row (its latest insert or update),
// numbered in the order they were saved. Triggers in the file write it in the transaction of the change
// itself, whichever connection or program makes it, so a reader that keeps the number of the last entry
// it took misses nothing, even when a process is killed right after its save. Numbers are never reused.
class SQLiteChangeLog {
public:
    struct Entry {
        std::int64_t sequence;
        std::string entity;
        std::int64_t row;
    };

    // Makes the log and its triggers where they are missing; inside the caller's transaction.
    static bool install(sqlite3* db, const NSManagedObjectModel& model, std::string& error);
    // Up to `limit` entries numbered above `afterSequence`, oldest first.
    static std::optional<std::vector<Entry>> read(sqlite3* db, std::int64_t afterSequence, std::size_t limit,
                                                  std::string& error);
    // The number of the latest entry, 0 for none.
    static std::optional<std::int64_t> latest(sqlite3* db, std::string& error);
    static bool forgetThrough(sqlite3* db, std::int64_t sequence, std::string& error);
};

}  // namespace platform
