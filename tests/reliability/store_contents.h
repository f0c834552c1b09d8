#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "platform/foundation/ns_date.h"

// What the reliability tests write into each store, and how they read it back through the code that
// reads it in the app. Numbers stand for writes: each store holds a set of them.
namespace quorvel::testing {

inline constexpr const char* kDictionaryName = "reliability";

// The key a number is stored under in the key-value stores.
inline std::string keyOf(long number) {
    std::string key = "n";  // appended: GCC 12 warns falsely about "n" + std::string
    return key.append(std::to_string(number));
}
// The timestamp of a number's session: the number is read back from it.
inline platform::NSDate sessionTimestampOf(long number) {
    return platform::NSDate(1000.0 + number);
}

// Each through a fresh reader of the data root's files, as a new launch reads them.
std::set<long> storedSessions();
std::set<long> storedPreferences(const std::string& suite);
std::set<long> storedEvents();
std::set<long> storedDictionaryNumbers();

// The two databases' files in the data root.
std::filesystem::path sessionStoreFile();
std::filesystem::path measurementDatabaseFile();

// The files of the data root set aside as damaged.
std::set<std::filesystem::path> damagedFiles(const std::filesystem::path& root);
// "ok" for a sound SQLite file, else what SQLite found.
std::string integrityOf(const std::filesystem::path& database);

}  // namespace quorvel::testing
