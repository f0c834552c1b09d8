#include "tests/soak/data_copy.h"

#include <sqlite3.h>

#include <system_error>

#include "app/core/cloud_sync_manager.h"

namespace quorvel::soak {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStore = "store.sqlite";
constexpr const char* kState = "state.sqlite";

// Removes a database's journal files: what is put back must not be read with another's.
void removeJournals(const fs::path& database, std::error_code& error) {
    for (const char* suffix : {"-wal", "-shm"}) {
        fs::remove(database.string() + suffix, error);
        if (error) return;
    }
}

// A read-only URI that leaves no journal files beside the copy.
std::string immutableURI(const fs::path& file) {
    std::string uri = "file:";
    for (const char c : file.string()) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789abcdef";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[c & 0xf];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

}  // namespace

DataCopy::DataCopy(fs::path storeFolder, fs::path aside)
    : storeFolder_(std::move(storeFolder)), aside_(std::move(aside)) {}

fs::path DataCopy::stateFolder() const {
    return storeFolder_ / (std::string(".") + kStore + ".ensembles") / CloudSyncManager::kEnsembleIdentifier;
}

bool DataCopy::take() {
    std::error_code error;
    fs::remove_all(aside_, error);
    fs::create_directories(aside_ / "state", error);
    const auto copied = fs::copy_options::overwrite_existing;
    if (!error) fs::copy_file(storeFolder_ / kStore, aside_ / kStore, copied, error);
    for (const std::string file : {kState, "state.sqlite-wal"}) {
        if (!error && fs::exists(stateFolder() / file))
            fs::copy_file(stateFolder() / file, aside_ / "state" / file, copied, error);
    }
    taken_ = !error;
    return taken_;
}

bool DataCopy::putBack(WalkStep::Restored restored) const {
    std::error_code error;
    const auto copied = fs::copy_options::overwrite_existing;
    if (restored != WalkStep::Restored::syncState) {
        removeJournals(storeFolder_ / kStore, error);
        if (!error) fs::copy_file(aside_ / kStore, storeFolder_ / kStore, copied, error);
    }
    if (!error && restored != WalkStep::Restored::store) {
        removeJournals(stateFolder() / kState, error);
        for (fs::directory_iterator file(aside_ / "state", error), end; !error && file != end;
             file.increment(error))
            fs::copy_file(file->path(), stateFolder() / file->path().filename(), copied, error);
    }
    return !error;
}

std::set<std::string> DataCopy::storedSessions() const {
    std::set<std::string> identifiers;
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_open_v2(immutableURI(aside_ / kStore).c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                        nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT uniqueIdentifier FROM Session", -1, &rows, nullptr) == SQLITE_OK) {
        while (sqlite3_step(rows) == SQLITE_ROW) {
            if (const auto* text = sqlite3_column_text(rows, 0))
                identifiers.insert(reinterpret_cast<const char*>(text));
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return identifiers;
}

}  // namespace quorvel::soak
