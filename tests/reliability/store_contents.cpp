#include "tests/reliability/store_contents.h"

#include <sqlite3.h>

#include <cstdlib>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_persistent_dictionary.h"
#include "app/core/core_data_manager.h"
#include "app/core/p_file_manager.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"

namespace quorvel::testing {

namespace {

// The numbers of the keys "n<number>" whose value is that number.
std::set<long> numbersOf(const platform::Value::Dictionary& values) {
    std::set<long> numbers;
    for (const auto& [key, value] : values) {
        if (key.size() < 2 || key[0] != 'n') continue;
        const long number = std::atol(key.c_str() + 1);
        if (value.intValue() == number) numbers.insert(number);
    }
    return numbers;
}

}  // namespace

std::set<long> storedSessions() {
    CoreDataManager::shared()->setUpStore();
    std::set<long> numbers;
    for (const auto& session : CoreDataManager::shared()->fetchAllSessions()) {
        if (const auto timestamp = session->timestamp())
            numbers.insert(static_cast<long>(timestamp->timeIntervalSinceReferenceDate() - 1000.0));
    }
    return numbers;
}

std::set<long> storedPreferences(const std::string& suite) {
    platform::NSUserDefaults::resetAllForTesting();
    return numbersOf(platform::NSUserDefaults::suiteNamed(suite)->dictionaryRepresentation());
}

std::set<long> storedEvents() {
    std::set<long> numbers;
    const auto database =
        analytics::APMDatabase::initWithDatabaseName(analytics::APMDatabase::kDatabaseName, nullptr, nullptr);
    if (!database) return numbers;
    const auto records =
        database->sqliteStore()->recordsForQuery("SELECT rowid, * FROM raw_events", {}, nullptr);
    if (!records) return numbers;
    for (const auto& record : *records) {
        if (const auto event = database->rawEventDataFromDictionary(record, nullptr))
            numbers.insert(static_cast<long>(event->rawEvent().parameters().at("seq").int64Value()));
    }
    return numbers;
}

std::set<long> storedDictionaryNumbers() {
    // The store has no list of its keys: it loads the file (setting a damaged one aside), then the file
    // it would write is read.
    const auto store = analytics::APMPersistentDictionary::initWithFileName(kDictionaryName);
    if (!store) return {};
    const auto content = platform::PropertyList::readFile(store->fileURL());
    return content && content->dictionaryValue() ? numbersOf(*content->dictionaryValue()) : std::set<long>{};
}

std::filesystem::path sessionStoreFile() {
    return *PFileManager::shared()->storeDirectoryURL() / "store.sqlite";
}

std::filesystem::path measurementDatabaseFile() {
    return analytics::APMMeasurementDirectoryFilePath(analytics::APMDatabase::kDatabaseName);
}

std::set<std::filesystem::path> damagedFiles(const std::filesystem::path& root) {
    std::set<std::filesystem::path> damaged;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        if (entry.path().filename().string().find(".damaged-") != std::string::npos)
            damaged.insert(entry.path());
    }
    return damaged;
}

std::string integrityOf(const std::filesystem::path& database) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        result = "cannot check";
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

}  // namespace quorvel::testing
