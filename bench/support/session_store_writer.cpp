#include "bench/support/session_store_writer.h"

#include <sqlite3.h>

#include <string>

#include "app/core/p_file_manager.h"
#include "platform/coredata/ns_persistent_store_coordinator.h"
#include "platform/foundation/ns_date.h"

namespace quorvel::bench {

std::optional<std::filesystem::path> writeSessionStore(int count, double spacing) {
    const auto files = PFileManager::shared();
    const auto modelURL = files->modelURL();
    if (!modelURL || !files->createStoreDirectory()) return std::nullopt;
    const auto store = *files->storeDirectoryURL() / "store.sqlite";
    {
        platform::NSPersistentStoreCoordinator coordinator(platform::NSManagedObjectModel::initWithContentsOfURL(*modelURL));
        if (!coordinator.addPersistentStoreWithType(platform::NSSQLiteStoreType, std::nullopt, store, {}))
            return std::nullopt;
    }
    const std::string last = std::to_string(count);
    const std::string sql =
        "BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + last +
        ") INSERT INTO Session (timestamp, duration, type, uniqueIdentifier) SELECT " +
        std::to_string(platform::NSDate::now().timeIntervalSinceReferenceDate()) + " - (" + last + " - i) * " +
        std::to_string(spacing) + ", 25, 0, printf('%08X-0000-4000-8000-%012X', i, i) FROM n;"
        "INSERT INTO NumberHolder (number, uniqueIdentifier) VALUES (7, 'A0000000-0000-4000-8000-000000000000');"
        "COMMIT;";
    sqlite3* db = nullptr;
    const bool written = sqlite3_open(store.c_str(), &db) == SQLITE_OK &&
                         sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!written) return std::nullopt;
    return store;
}

}  // namespace quorvel::bench
