// Writes to a store, one change after another, and prints the number of each change once its write
// returned, until it is killed:
//   storage_writer sqlite <database path>    one transaction per row of table t
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "analytics/storage/apm_sqlite_store.h"

using namespace analytics;
using platform::Value;

namespace {

bool report(long number) {
    const std::string line = std::to_string(number) + "\n";
    return ::write(STDOUT_FILENO, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

int writeRows(const std::string& path) {
    auto store = APMSqliteStore::initWithDatabasePath(path, nullptr);
    if (!store ||
        !store->ensureTableWithName("t", {{"id", "INTEGER NOT NULL"}, {"payload", "TEXT"}}, {}, nullptr))
        return 1;
    const auto last = store->numberForQuery("SELECT max(id) FROM t", {}, nullptr);
    for (std::int64_t id = std::max<std::int64_t>(100000, last ? *last->intValue() + 1 : 0);; ++id) {
        // A new row and a changed old one in each transaction.
        const bool committed = store->performTransactionWithError(nullptr, [&] {
            return store->upsertRecord({{"id", Value(id)}, {"payload", Value(std::string(5000, 'k'))}}, "t",
                                       nullptr) &&
                   store->updateRecord({{"payload", Value(std::to_string(id))}}, "t", "id", Value(0),
                                       nullptr);
        });
        if (committed && !report(id)) return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sqlite" && argc == 3) return writeRows(argv[2]);
    return 2;
}
