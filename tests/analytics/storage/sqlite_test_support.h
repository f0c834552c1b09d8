#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_sqlite_store.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// A data root, the virtual clock and the console, with the path of one database in the library's folder.
class SqliteStoreTest : public ::testing::Test {
protected:
    using Store = analytics::APMSqliteStore;
    using Error = std::shared_ptr<platform::NSError>;

    std::shared_ptr<Store> open(Error* error = nullptr) { return Store::initWithDatabasePath(path, error); }

    // The console lines of the monitor, once its queue has written them.
    bool logged(const std::string& code) {
        clock->runUntilIdle();
        return capture.contains("[I-ACS0" + code + "]");
    }

    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    platform::Console::Capture capture;
    const std::string path = analytics::APMMeasurementDirectoryFilePath("vuziri-app-measurement.sql");
};

inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Runs SQL on a connection of its own, as another program would; false when it failed.
inline bool runOnOwnConnection(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
                  SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// The description of an error, "" for none.
inline std::string describe(const std::shared_ptr<platform::NSError>& error) {
    return error ? error->localizedDescription() : "";
}

}  // namespace quorvel::testing
