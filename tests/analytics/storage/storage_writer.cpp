// Writes to a store, one change after another, and prints the number of each change once its write
// returned, until it is killed:
//   storage_writer sqlite <database path>    one transaction per row of table t
//   storage_writer plist <data root> <name>  one whole-file save of a persistent dictionary per change
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "analytics/storage/apm_persistent_dictionary.h"
#include "analytics/storage/apm_sqlite_store.h"
#include "platform/foundation/data_root.h"

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

// Each generation fills every entry with its own number, so a file mixing two generations shows.
int writeDictionary(const std::string& root, const std::string& name) {
    platform::DataRoot::setPath(root);
    auto dictionary = APMPersistentDictionary::initWithFileName(name);
    if (!dictionary) return 1;
    for (long generation = 1;; ++generation) {
        const Value entry(std::string(100, 'g') + std::to_string(generation));
        dictionary->setObject(Value(Value::Dictionary{{"generation", Value(generation)},
                                                      {"entries", Value(Value::Array(2000, entry))}}),
                              "state");
        dictionary->persistToDisk();
        if (!report(generation)) return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sqlite" && argc == 3) return writeRows(argv[2]);
    if (mode == "plist" && argc == 4) return writeDictionary(argv[2], argv[3]);
    return 2;
}
