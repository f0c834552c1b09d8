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
// The log also has an identity, a random token made anew whenever entries are forgotten and whenever the
// log is found dropped, renumbered or cut by hand: a reader that kept the identity beside its cursor
// knows whether its cursor still means anything in this file (it does not once the file, or the
// reader's bookkeeping, was put back from a copy).
class SQLiteChangeLog {
public:
    struct Entry {
        std::int64_t sequence;
        std::string entity;
        std::int64_t row;
    };

    // Makes the log and its triggers where they are missing; inside the caller's transaction.
    static bool install(sqlite3* db, const NSManagedObjectModel& model, std::string& error);
    // Between the two, inside one write transaction, the rows written are not logged.
    static bool pause(sqlite3* db, std::string& error);
    static bool resume(sqlite3* db, std::string& error);
    // Up to `limit` entries numbered above `afterSequence` and at most `throughSequence`, oldest first.
    static std::optional<std::vector<Entry>> read(sqlite3* db, std::int64_t afterSequence,
                                                  std::int64_t throughSequence, std::size_t limit,
                                                  std::string& error);
    // The rows of `entity` the log names with an entry numbered at most `throughSequence` (changed since
    // the log was last forgotten), in ascending order.
    static std::optional<std::vector<std::int64_t>> rowsNamed(sqlite3* db, const std::string& entity,
                                                              std::int64_t throughSequence, std::string& error);
    // The numbers a reader's cursor may stand at: from the last entry forgotten to the latest ever given,
    // and the log's identity. A cursor outside the numbers, or kept with another identity, belongs to
    // another copy of the file: the log cannot say what changed since.
    struct Span {
        std::int64_t forgottenThrough = 0;
        std::int64_t latest = 0;
        std::string identity;
        bool holds(std::int64_t cursor) const { return forgottenThrough <= cursor && cursor <= latest; }
    };
    static std::optional<Span> span(sqlite3* db, std::string& error);
    // Drops the entries up to `sequence` and gives the log a new identity, in one transaction; the new
    // identity, or none on failure.
    static std::optional<std::string> forgetThrough(sqlite3* db, std::int64_t sequence, std::string& error);
};

}  // namespace platform
