#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/value.h"

namespace platform {

// Key-value preferences, one suite per file: DataRoot::preferences()/<suite>.plist. Values live in
// memory (the file is read on first use) and reach the file within a second after a change (one
// atomic write per burst of changes, however often synchronize() is called; a lazily set value waits
// for the next write), at once on flushAll()
// (the application calls it when it goes to the background or terminates), and at process exit. A
// suite keeps the data root it saw on first use. Safe to call from any thread.
class NSUserDefaults {
public:
    using WriteObserver = std::function<void(const std::string& suite, const std::string& key,
                                             const std::optional<Value>& value)>;

    // The main bundle's identifier, which names the standard suite.
    static std::string standardSuiteName();
    static std::shared_ptr<NSUserDefaults> standardUserDefaults();
    // The same object for the same name; an empty name or the standard suite's name gives the
    // standard store.
    static std::shared_ptr<NSUserDefaults> suiteNamed(const std::string& name);

    const std::string& suiteName() const { return suite_; }

    void setInteger(std::int64_t value, const std::string& key) { setObject(Value(value), key); }
    void setBool(bool value, const std::string& key) { setObject(Value(value), key); }
    void setFloat(float value, const std::string& key) { setObject(Value(static_cast<double>(value)), key); }
    void setDouble(double value, const std::string& key) { setObject(Value(value), key); }
    void setString(const std::string& value, const std::string& key) { setObject(Value(value), key); }
    void setData(const Value::Data& value, const std::string& key) { setObject(Value(value), key); }
    void setDate(NSDate value, const std::string& key) { setObject(Value(value), key); }
    // A null value removes the key. A value no property-list file can hold (a date outside the years
    // 1 to 9999, nesting too deep) is refused with a console line and the stored value kept.
    void setObject(const Value& value, const std::string& key);
    // The same, but the change alone writes nothing: it reaches the file with the next write another
    // change, synchronize(), flushAll() or the exit causes. For a value that changes many times a
    // minute and can be recomputed after a crash.
    void setObjectLazily(const Value& value, const std::string& key);
    void removeObjectForKey(const std::string& key) { setObject(Value(), key); }

    std::optional<Value> objectForKey(const std::string& key) const;
    // Numbers, booleans (0/1) and numeric strings; 0 otherwise. Doubles truncate and saturate.
    std::int64_t integerForKey(const std::string& key) const;
    // A boolean, a non-zero number, or "YES", "yes", "true", "1"; false otherwise.
    bool boolForKey(const std::string& key) const;
    float floatForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    // The rest answer only for their own kind: a number is not a string.
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<Value::Data> dataForKey(const std::string& key) const;
    std::optional<NSDate> dateForKey(const std::string& key) const;
    std::optional<Value::Array> arrayForKey(const std::string& key) const;
    // Nothing unless every item is a string.
    std::optional<std::vector<std::string>> stringArrayForKey(const std::string& key) const;
    std::optional<Value::Dictionary> dictionaryForKey(const std::string& key) const;
    Value::Dictionary dictionaryRepresentation() const;

    // Hands what changed to the coalesced writer and returns: no file is written by the call itself.
    // False while the suite's last write failed; the call then schedules another attempt.
    bool synchronize();
    // Writes every suite that changed since its last write, now; false if any write failed.
    static bool flushAll();
    std::uint64_t synchronizeCount() const { return synchronizeCount_; }
    // How many times the file was written, however the write was started.
    std::uint64_t fileWriteCount() const { return fileWriteCount_; }

    // Empties the suite, in memory and on disk.
    static void removePersistentDomainForName(const std::string& name);
    // The suite's contents; nothing when it holds no key.
    static std::optional<Value::Dictionary> persistentDomainForName(const std::string& name);

    // Called after every set and remove, on the thread that made it; an empty function stops it.
    static void setWriteObserver(WriteObserver observer);
    // Forgets every suite without writing, so the next use reads the file as a new process would.
    static void resetAllForTesting();

    NSUserDefaults(const NSUserDefaults&) = delete;
    NSUserDefaults& operator=(const NSUserDefaults&) = delete;

private:
    friend class UserDefaultsRegistry;
    explicit NSUserDefaults(std::string suite) : suite_(std::move(suite)) {}

    enum class WriteReason { Requested, Scheduled, Exit };

    void store(const Value& value, const std::string& key, bool scheduleWrite);
    const Value* findLocked(const std::string& key) const REQUIRES(mutex_);
    void loadLocked() const REQUIRES(mutex_);
    void scheduleWriteLocked() REQUIRES(mutex_);
    // Writes the file if anything changed since the last write.
    bool writeIfChanged(WriteReason reason) EXCLUDES(fileMutex_, mutex_);
    void removeEverything() EXCLUDES(fileMutex_, mutex_);
    void forgetPendingChanges() EXCLUDES(mutex_);

    const std::string suite_;
    std::weak_ptr<NSUserDefaults> self_;

    // Keeps file writes in the order of their contents.
    Mutex fileMutex_ ACQUIRED_BEFORE(mutex_);
    mutable Mutex mutex_;
    mutable bool loaded_ GUARDED_BY(mutex_) = false;
    mutable Value::Dictionary values_ GUARDED_BY(mutex_);
    mutable std::filesystem::path file_ GUARDED_BY(mutex_);
    mutable std::filesystem::path root_ GUARDED_BY(mutex_);
    // A root that existed when the suite was read and is gone now was removed on purpose (a test's
    // temporary root): automatic writes must not bring it back.
    mutable bool rootExisted_ GUARDED_BY(mutex_) = false;
    // Dropped by resetAllForTesting: never writes on its own again.
    bool retired_ GUARDED_BY(mutex_) = false;
    std::uint64_t changes_ GUARDED_BY(mutex_) = 0;
    std::uint64_t changesWritten_ GUARDED_BY(mutex_) = 0;
    bool lastWriteFailed_ GUARDED_BY(mutex_) = false;
    bool writeScheduled_ GUARDED_BY(mutex_) = false;
    Clock* scheduledOn_ GUARDED_BY(mutex_) = nullptr;
    Clock::Token scheduledToken_ GUARDED_BY(mutex_) = 0;

    std::atomic<std::uint64_t> synchronizeCount_{0};
    std::atomic<std::uint64_t> fileWriteCount_{0};
};

}  // namespace platform
