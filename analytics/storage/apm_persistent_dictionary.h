#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "analytics/storage/apm_typed_config_store.h"
#include "platform/foundation/mutex.h"

namespace platform {
class DispatchQueue;
}

namespace analytics {

// A key-value store in a property-list file of its own in the library's folder, instead of the
// preferences. The content lives in memory; changes reach the file in one atomic write one second after
// the first unsaved change, from the serial queue "APMPersistentDictionary". A failed write is tried
// again (after 1 s, doubling up to 60 s), and a store destroyed with a write pending writes at once.
// Safe to use from any thread.
class APMPersistentDictionary final : public APMTypedConfigStore,
                                      public std::enable_shared_from_this<APMPersistentDictionary> {
public:
    // Nothing for an empty name or when the folder cannot be made. A missing file is an empty store; an
    // unreadable one is set aside as damaged (with a console line) and the store starts empty.
    static std::shared_ptr<APMPersistentDictionary> initWithFileName(const std::string& fileName);
    ~APMPersistentDictionary() override;

    const std::filesystem::path& fileURL() const { return fileURL_; }

    std::optional<platform::Value> objectForKey(const std::string& key) override;
    // Nothing removes the key. An equal value changes nothing and schedules no write.
    void setObject(const std::optional<platform::Value>& value, const std::string& key) override;
    void clearAllData() override;
    // Writes happen on their own schedule.
    void synchronize() override {}

    void schedulePersistToDisk();
    void persistToDisk();

private:
    APMPersistentDictionary(std::filesystem::path fileURL, platform::Value::Dictionary content);
    void schedulePersistLocked(double delay) REQUIRES(mutex_);
    // Writes a copy of the content taken under the lock; false when the write failed.
    bool writeContent() EXCLUDES(mutex_, writing_);

    const std::filesystem::path fileURL_;
    const std::shared_ptr<platform::DispatchQueue> serialQueue_;
    // Held across a write, from the copy of the content to the file's rename: the delayed save and a
    // caller's save never land an older copy over a newer one.
    platform::Mutex writing_;
    platform::Mutex mutex_ ACQUIRED_AFTER(writing_);
    platform::Value::Dictionary content_ GUARDED_BY(mutex_);
    bool hasPendingPersistence_ GUARDED_BY(mutex_) = false;
    // The wait before the next try after a failed write.
    double retryDelay_ GUARDED_BY(mutex_) = 1;
};

}  // namespace analytics
