#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/ns_error.h"

struct sqlite3;

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

// An ensemble's own bookkeeping on this device, in a small SQLite file of its own: this device's
// identifier, whether the store has joined, each record's revision and the change files imported.
// Updates are transactions, so a kill leaves the last committed state.
class EnsembleState {
public:
    static std::unique_ptr<EnsembleState> open(const std::filesystem::path& file,
                                               std::shared_ptr<NSError>* error);
    ~EnsembleState();

    const std::string& deviceIdentifier() const { return device_; }
    bool isLeeched() const;
    bool setLeeched(bool leeched, std::shared_ptr<NSError>* error);

    // Ties the bookkeeping to one store file. For another file (the old one was damaged and set
    // aside, or removed) it starts over, so the new file is filled again from every change file.
    bool adoptStore(const std::string& storeIdentifier, std::shared_ptr<NSError>* error);

    // Keyed by "<entity>/<global identifier>".
    std::map<std::string, RecordRevision> revisions() const;
    std::set<std::string> importedFiles() const;
    // `forgottenFiles` leave the imported files: the folder no longer holds them.
    bool commit(const std::map<std::string, RecordRevision>& revisions,
                const std::vector<std::string>& importedFiles, const std::vector<std::string>& forgottenFiles,
                std::shared_ptr<NSError>* error);

private:
    explicit EnsembleState(sqlite3* db) : db_(db) {}
    bool execute(const std::string& sql, std::shared_ptr<NSError>* error);
    std::optional<std::string> meta(const std::string& key) const;
    bool setMeta(const std::string& key, const std::string& value, std::shared_ptr<NSError>* error);

    sqlite3* db_;
    std::string device_;
};

}  // namespace platform
