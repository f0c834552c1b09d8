#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/coredata/sqlite_file_health.h"
#include "platform/foundation/ns_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// The version of a record this device holds: when and by which device it was last changed, and a
// hash of its values when it was last exported or imported.
struct RecordRevision {
    std::uint64_t hash = 0;
    double time = 0;
    std::string device;

    // Later time wins; equal times go to the larger device identifier, so every device agrees.
    bool isNewerThan(const RecordRevision& other) const {
        return time != other.time ? time > other.time : device > other.device;
    }
};

// What this device keeps of one record: its version and its row in this device's store (0 while
// unknown).
struct KnownRecord {
    RecordRevision revision;
    std::int64_t row = 0;
};

// How far the store's change log was exported, and which log that was (see SQLiteChangeLog).
struct ChangeLogPosition {
    std::int64_t cursor = 0;
    std::string identity;  // empty when kept by a version that knew no identities
};

// An ensemble's own bookkeeping on this device, in a small SQLite file of its own: this device's
// identifier, whether the store has joined, each record's revision and row, the change files imported
// and how far the store's change log has been exported. Updates are transactions, so a kill leaves the
// last committed state.
class EnsembleState {
public:
    // With a check of less than every page (`depth`), checkEveryPage must follow before the first use.
    static std::unique_ptr<EnsembleState> open(const std::filesystem::path& file, std::shared_ptr<NSError>* error,
                                               SQLiteFileHealth::Depth depth = SQLiteFileHealth::Depth::Whole);
    ~EnsembleState();

    // Checks every page once. The bookkeeping can be rebuilt from the store and the change files, so a
    // damaged file is set aside with a console line and the state starts over in a new one (with a new
    // device identifier, not leeched); otherwise no merge could ever run again. False only when no new
    // file can be made.
    bool checkEveryPage(std::shared_ptr<NSError>* error);

    const std::string& deviceIdentifier() const { return device_; }
    bool isLeeched() const;
    bool setLeeched(bool leeched, std::shared_ptr<NSError>* error);

    // Ties the bookkeeping to one store file. For another file (the old one was damaged and set
    // aside, or removed) it starts over, so the new file is filled again from every change file.
    bool adoptStore(const std::string& storeIdentifier, std::shared_ptr<NSError>* error);

    // By "<entity>/<global identifier>", in order; none for a record never exported or imported.
    std::vector<std::optional<KnownRecord>> records(const std::vector<std::string>& keys) const;
    std::set<std::string> importedFiles() const;
    // The last entry of the store's change log that was exported, and the log's identity then; none when
    // every record must be looked at (a new state, one written before the log was kept, or another store).
    std::optional<ChangeLogPosition> changeLogPosition() const;
    // `forgottenFiles` leave the imported files: the folder no longer holds them.
    bool commit(const std::map<std::string, KnownRecord>& records, const std::vector<std::string>& importedFiles,
                const std::vector<std::string>& forgottenFiles, const std::optional<ChangeLogPosition>& position,
                std::shared_ptr<NSError>* error);
    // Folds a large write-ahead log back into the file, which then holds everything alone.
    void foldLog();

private:
    EnsembleState(std::filesystem::path file, sqlite3* db, bool checked)
        : file_(std::move(file)), db_(db), checked_(checked) {}
    // Tables, device identifier: what every open does once the file is known to be sound.
    bool start(std::shared_ptr<NSError>* error);
    bool execute(const std::string& sql, std::shared_ptr<NSError>* error);
    std::optional<std::string> meta(const std::string& key) const;
    bool setMeta(const std::string& key, const std::string& value, std::shared_ptr<NSError>* error);

    const std::filesystem::path file_;
    sqlite3* db_;
    bool checked_;
    mutable sqlite3_stmt* lookup_ = nullptr;
    std::string device_;
};

}  // namespace platform
