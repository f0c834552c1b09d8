#include "analytics/storage/apm_persistent_dictionary.h"

#include <algorithm>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_config_store_support.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_file_manager.h"
#include "platform/foundation/property_list.h"
#include "platform/foundation/property_list_file.h"

namespace analytics {

using platform::Value;

namespace {

constexpr double kPersistDelay = 1;
constexpr double kLongestRetryDelay = 60;

Value::Dictionary loadContent(const std::filesystem::path& file) {
    return platform::PropertyListFile::readDictionary(file, "APMPersistentDictionary: the file",
                                                      "the store starts empty");
}

}  // namespace

std::shared_ptr<APMPersistentDictionary> APMPersistentDictionary::initWithFileName(
    const std::string& fileName) {
    if (fileName.empty()) return nullptr;
    const std::string path = APMMeasurementDirectoryPlistPath(fileName);
    if (path.empty()) return nullptr;
    std::string reason;
    const std::filesystem::path file(path);
    if (!platform::NSFileManager::defaultManager()->createDirectoryAtPath(file.parent_path(), true,
                                                                          &reason)) {
        APMLogConfigStoreError(43004, "Cannot create subdirectories for config plist files. " + reason);
        return nullptr;
    }
    return std::shared_ptr<APMPersistentDictionary>(new APMPersistentDictionary(file, loadContent(file)));
}

APMPersistentDictionary::APMPersistentDictionary(std::filesystem::path fileURL, Value::Dictionary content)
    : fileURL_(std::move(fileURL)),
      serialQueue_(platform::DispatchQueue::createSerial("APMPersistentDictionary")),
      content_(std::move(content)) {}

APMPersistentDictionary::~APMPersistentDictionary() {
    bool pending;
    {
        platform::MutexLock lock(mutex_);
        pending = hasPendingPersistence_;
    }
    if (pending) writeContent();
}

std::optional<Value> APMPersistentDictionary::objectForKey(const std::string& key) {
    if (key.empty()) {
        APMLogConfigStoreWarning(43001, "Cannot get object for invalid config key.");
        return std::nullopt;
    }
    platform::MutexLock lock(mutex_);
    const auto found = content_.find(key);
    if (found == content_.end()) return std::nullopt;
    return found->second;
}

void APMPersistentDictionary::setObject(const std::optional<Value>& value, const std::string& key) {
    if (key.empty()) {
        APMLogConfigStoreWarning(43002, "Cannot set object for invalid config key.");
        return;
    }
    // Checked all the way down: one value the file cannot hold would fail every later write.
    if (value && !APMIsConfigValue(*value)) {
        APMLogConfigStoreWarning(43003,
                                 "Cannot set invalid object to config. Must be a string, number, array, "
                                 "dictionary, date, or data. Value " +
                                     APMConfigValueDescription(*value));
        return;
    }
    platform::MutexLock lock(mutex_);
    const auto found = content_.find(key);
    if (!value) {
        if (found == content_.end()) return;
        content_.erase(found);
    } else {
        if (found != content_.end() && found->second == *value) return;
        content_.insert_or_assign(key, *value);
    }
    schedulePersistLocked(kPersistDelay);
}

void APMPersistentDictionary::clearAllData() {
    platform::MutexLock lock(mutex_);
    if (content_.empty()) return;
    content_.clear();
    schedulePersistLocked(kPersistDelay);
}

void APMPersistentDictionary::schedulePersistToDisk() {
    platform::MutexLock lock(mutex_);
    schedulePersistLocked(kPersistDelay);
}

void APMPersistentDictionary::schedulePersistLocked(double delay) {
    // One write for a burst of changes, one second after the first of them.
    if (hasPendingPersistence_) return;
    hasPendingPersistence_ = true;
    serialQueue_->asyncAfter(delay, [weakSelf = weak_from_this()] {
        if (auto self = weakSelf.lock()) self->persistToDisk();
    });
}

void APMPersistentDictionary::persistToDisk() {
    const bool written = writeContent();
    platform::MutexLock lock(mutex_);
    if (written) {
        retryDelay_ = kPersistDelay;
        return;
    }
    // The content stays in memory; without a retry it would reach the file only with a later change.
    APMLogConfigStoreError(43000, "Cannot persist configs to disk");
    schedulePersistLocked(retryDelay_);
    retryDelay_ = std::min(retryDelay_ * 2, kLongestRetryDelay);
}

bool APMPersistentDictionary::writeContent() {
    platform::MutexLock writing(writing_);
    Value::Dictionary copy;
    {
        platform::MutexLock lock(mutex_);
        copy = content_;
        hasPendingPersistence_ = false;
    }
    return platform::PropertyList::writeFileAtomically(fileURL_, Value(std::move(copy)));
}

}  // namespace analytics
