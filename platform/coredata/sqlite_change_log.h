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
    // The numbers a reader's cursor may stand at: from the last entry forgotten to the latest ever given.
    // A cursor outside it belongs to another copy of the file (the store or the reader's bookkeeping was
    // put back from a backup): the log cannot say what changed since, and the reader must look at every row.
    struct Span {
        std::int64_t forgottenThrough = 0;
        std::int64_t latest = 0;
        bool holds(std::int64_t cursor) const { return forgottenThrough <= cursor && cursor <= latest; }
    };
    static std::optional<Span> span(sqlite3* db, std::string& error);
    // Drops the entries up to `sequence` and notes that it did, in one transaction.
    static bool forgetThrough(sqlite3* db, std::int64_t sequence, std::string& error);
};

}  // namespace platform
