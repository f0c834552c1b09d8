#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>

#include <sqlite3.h>
#include <string>

#include "platform/ensembles/cde_persistent_store_ensemble.h"
#include "platform/ensembles/change_file.h"
#include "platform/foundation/clock.h"
#include "tests/platform/coredata/coredata_test_support.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

inline const char* kSyncedNoteModel = R"(<model version="1">
  <entity name="Note">
    <attribute name="count" type="integer" default="0"/>
    <attribute name="uniqueIdentifier" type="string"/>
  </entity>
</model>)";

// Answers identifiers from "uniqueIdentifier" and merges saved merges into the device's context.
class NoteDelegate : public platform::CDEPersistentStoreEnsembleDelegate {
public:
    explicit NoteDelegate(std::shared_ptr<platform::NSManagedObjectContext> context)
        : context_(std::move(context)) {}

    void persistentStoreEnsembleDidSaveMergeChangesWithNotification(
        platform::CDEPersistentStoreEnsemble&, const platform::NSNotification& note) override {
        ++mergedSaves;
        context_->performBlockAndWait([&] { context_->mergeChangesFromContextDidSaveNotification(note); });
    }

    std::vector<std::string> persistentStoreEnsembleGlobalIdentifiersForManagedObjects(
        platform::CDEPersistentStoreEnsemble&,
        const std::vector<std::shared_ptr<platform::NSManagedObject>>& objects) override {
        std::vector<std::string> ids;
        for (const auto& object : objects) {
            const auto value = object->valueForKeyPath("uniqueIdentifier");
            ids.push_back(value.stringValue() ? *value.stringValue() : "");
        }
        return ids;
    }

    std::atomic<int> mergedSaves{0};

private:
    std::shared_ptr<platform::NSManagedObjectContext> context_;
};

// One device: its own store file and context, an ensemble over it and the shared cloud folder.
struct Device {
    Device() = default;
    Device(const std::filesystem::path& folder, const std::filesystem::path& model) {
        std::filesystem::create_directories(folder);
        context = openContext(model, folder / "store.sqlite");
        delegate = std::make_shared<NoteDelegate>(context);
        fileSystem = std::make_shared<platform::CDEICloudFileSystem>(std::nullopt);
        ensemble = platform::CDEPersistentStoreEnsemble::initWithEnsembleIdentifier(
            "TestStore", folder / "store.sqlite", model, fileSystem);
        ensemble->setDelegate(delegate);
    }

    void insert(const std::string& id, std::int64_t count) {
        auto note = context->insertNewObjectForEntityForName("Note");
        note->setValueForKey(id, "uniqueIdentifier");
        note->setValueForKey(count, "count");
        ASSERT_TRUE(context->save());
    }

    // Notes "<prefix>0" … with counts 0 …, saved together.
    void insertMany(const std::string& prefix, int count) {
        for (int i = 0; i < count; ++i) {
            auto note = context->insertNewObjectForEntityForName("Note");
            note->setValueForKey(prefix + std::to_string(i), "uniqueIdentifier");
            note->setValueForKey(std::int64_t{i}, "count");
        }
        ASSERT_TRUE(context->save());
    }

    void update(const std::string& id, std::int64_t count) {
        auto found = context->executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Note"));
        for (const auto& note : *found) {
            if (note->valueForKey("uniqueIdentifier") == platform::Value(id)) note->setValueForKey(count, "count");
        }
        ASSERT_TRUE(context->save());
    }

    // Identifier → count of every note in the store.
    std::map<std::string, std::int64_t> notes() const {
        std::map<std::string, std::int64_t> result;
        auto all = context->executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Note"));
        for (const auto& note : *all) {
            const auto id = *note->valueForKey("uniqueIdentifier").stringValue();
            EXPECT_FALSE(result.count(id)) << "duplicate " << id;
            result[id] = note->valueForKey("count").intValue().value_or(-1);
        }
        return result;
    }

    std::shared_ptr<platform::NSManagedObjectContext> context;
    std::shared_ptr<NoteDelegate> delegate;
    std::shared_ptr<platform::CDEICloudFileSystem> fileSystem;
    std::shared_ptr<platform::CDEPersistentStoreEnsemble> ensemble;
};

// Every change file in the cloud folder, sorted by path.
inline std::vector<std::filesystem::path> changeFiles(const std::filesystem::path& cloud) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(cloud)) {
        if (entry.is_regular_file() && entry.path().parent_path().parent_path().filename() == "changes")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The change files in the cloud folder that are not in `before`.
inline std::vector<std::filesystem::path> filesAddedSince(const std::vector<std::filesystem::path>& before,
                                                          const std::filesystem::path& cloud) {
    std::vector<std::filesystem::path> added;
    for (const auto& file : changeFiles(cloud)) {
        if (std::find(before.begin(), before.end(), file) == before.end()) added.push_back(file);
    }
    return added;
}

// A change file as every installation reads it; none, with a test failure, when it cannot be read.
inline std::optional<platform::ChangeFile> readChangeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string contents{std::istreambuf_iterator<char>(in), {}};
    std::string reason;
    auto parsed = platform::ChangeFile::parse(contents, &reason);
    EXPECT_TRUE(parsed) << file << ": " << reason;
    return parsed;
}

// Starts an ensemble operation, lets it finish and returns its error; fails when the completion
// was not called exactly once.
template <typename Start>
std::shared_ptr<platform::NSError> finish(platform::VirtualClock& clock, Start start) {
    std::atomic<int> calls{0};
    std::shared_ptr<platform::NSError> result;
    start([&](std::shared_ptr<platform::NSError> error) {
        result = error;
        ++calls;
    });
    clock.runUntilIdle();
    EXPECT_EQ(calls.load(), 1);
    return result;
}

// Two devices in one temporary root sharing one cloud folder.
struct TwoDevices {
    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::filesystem::path cloud = root.path() / "cloud";
    std::filesystem::path model =
        (::setenv("QUORVEL_CLOUD", cloud.c_str(), 1), writeModel(root.path(), kSyncedNoteModel, "Notes"));
    Device a{root.path() / "A", model};
    Device b{root.path() / "B", model};

    std::shared_ptr<platform::NSError> merge(Device& device) {
        return finish(*clock, [&](auto done) { device.ensemble->mergeWithCompletion(done); });
    }
    std::shared_ptr<platform::NSError> leech(Device& device) {
        return finish(*clock, [&](auto done) { device.ensemble->leechPersistentStoreWithCompletion(done); });
    }
    void leechBoth() {
        ASSERT_FALSE(leech(a));
        ASSERT_FALSE(leech(b));
    }
};

// A device's sync state file.
inline std::filesystem::path stateFileOf(const TwoDevices& devices, const std::string& device) {
    return devices.root.path() / device / ".store.sqlite.ensembles" / "TestStore" / "state.sqlite";
}

// Runs SQL on a file through a connection of its own, as another program would; false when it fails.
inline bool runSQL(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    const bool opened = sqlite3_open(file.c_str(), &db) == SQLITE_OK;
    if (opened) sqlite3_busy_timeout(db, 5000);
    const bool done = opened && sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

// A copy of an SQLite file as a backup tool takes it.
inline void backUp(const std::filesystem::path& file, const std::filesystem::path& copy) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, ("VACUUM INTO '" + copy.string() + "'").c_str(), nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

// A's file put back from the copy while A is not running.
inline void putBack(TwoDevices& devices, const std::filesystem::path& copy, const std::filesystem::path& file) {
    devices.a = Device();
    devices.clock->runUntilIdle();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
    std::filesystem::copy_file(copy, file);
    devices.a = Device(devices.root.path() / "A", devices.model);
}

inline std::size_t copiesOf(Device& device, const std::string& id) {
    std::size_t copies = 0;
    const auto notes = device.context->executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Note"));
    for (const auto& note : notes.value_or(std::vector<std::shared_ptr<platform::NSManagedObject>>{}))
        copies += note->valueForKey("uniqueIdentifier") == platform::Value(id);
    return copies;
}

}  // namespace quorvel::testing
