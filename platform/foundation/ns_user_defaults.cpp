#include "platform/foundation/ns_user_defaults.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <limits>
#include <map>
#include <thread>

#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/pending_work.h"
#include "platform/foundation/property_list.h"
#include "platform/foundation/property_list_file.h"
#include "platform/foundation/saturating_cast.h"
#include "platform/foundation/utf8.h"

namespace platform {

namespace fs = std::filesystem;

// Every suite of the process by name, the write observer, the background writer and the flush at
// exit.
class UserDefaultsRegistry {
public:
    static UserDefaultsRegistry& shared() {
        static auto* registry = new UserDefaultsRegistry();  // never destroyed: used at exit
        return *registry;
    }

    std::shared_ptr<NSUserDefaults> suite(const std::string& name) {
        MutexLock lock(mutex_);
        auto& slot = suites_[name];
        if (!slot) {
            slot.reset(new NSUserDefaults(name));
            slot->self_ = slot;
        }
        return slot;
    }

    std::vector<std::shared_ptr<NSUserDefaults>> all() {
        MutexLock lock(mutex_);
        std::vector<std::shared_ptr<NSUserDefaults>> all;
        for (const auto& [name, suite] : suites_) all.push_back(suite);
        return all;
    }

    std::vector<std::shared_ptr<NSUserDefaults>> takeAll() {
        MutexLock lock(mutex_);
        std::vector<std::shared_ptr<NSUserDefaults>> all;
        for (auto& [name, suite] : suites_) all.push_back(std::move(suite));
        suites_.clear();
        return all;
    }

    void setObserver(NSUserDefaults::WriteObserver observer) {
        MutexLock lock(mutex_);
        observer_ =
            observer ? std::make_shared<const NSUserDefaults::WriteObserver>(std::move(observer)) : nullptr;
    }

    void notify(const std::string& suite, const std::string& key, const std::optional<Value>& value) {
        std::shared_ptr<const NSUserDefaults::WriteObserver> observer;
        {
            MutexLock lock(mutex_);
            observer = observer_;
        }
        if (observer) (*observer)(suite, key, value);
    }

    // Hands a suite's write to the writer thread, so the clock's thread never waits for the disk.
    void enqueueWrite(std::weak_ptr<NSUserDefaults> suite) {
        PendingWork::shared().begin();  // a virtual-time test waits for the write
        {
            MutexLock lock(writerMutex_);
            writes_.push_back(std::move(suite));
            if (!writerStarted_) {
                writerStarted_ = true;
                std::thread([this] { writeForever(); }).detach();
            }
        }
        writerWake_.notify_one();
    }

private:
    void writeForever() {
        MutexLock lock(writerMutex_);
        for (;;) {
            while (writes_.empty()) lock.wait(writerWake_);
            auto next = std::move(writes_.front());
            writes_.pop_front();
            lock.unlock();
            if (auto suite = next.lock()) suite->writeIfChanged(NSUserDefaults::WriteReason::Scheduled);
            PendingWork::shared().end();
            lock.lock();
        }
    }

    // Registered once the registry exists, so it runs before the statics built earlier are gone.
    UserDefaultsRegistry() {
        std::atexit([] {
            for (const auto& suite : shared().all()) suite->writeIfChanged(NSUserDefaults::WriteReason::Exit);
        });
    }

    Mutex mutex_;
    std::map<std::string, std::shared_ptr<NSUserDefaults>> suites_ GUARDED_BY(mutex_);
    std::shared_ptr<const NSUserDefaults::WriteObserver> observer_ GUARDED_BY(mutex_);

    Mutex writerMutex_;
    std::condition_variable writerWake_;
    std::deque<std::weak_ptr<NSUserDefaults>> writes_ GUARDED_BY(writerMutex_);
    bool writerStarted_ GUARDED_BY(writerMutex_) = false;
};

namespace {

// A decimal number written as text ("42", " -3.5", "+1e3"); "nan", "inf", hex and numbers beyond a
// double's range are not numbers here. `integer` receives the exact value of an integer that fits.
std::optional<double> numberInString(std::string_view text, std::optional<std::int64_t>* integer = nullptr) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const std::string_view unsignedPart = !text.empty() && text.front() == '-' ? text.substr(1) : text;
    if (unsignedPart.empty() ||
        !(std::isdigit(static_cast<unsigned char>(unsignedPart.front())) || unsignedPart.front() == '.')) {
        return std::nullopt;
    }
    const char* end = text.data() + text.size();
    if (integer) {
        std::int64_t whole = 0;
        const auto result = std::from_chars(text.data(), end, whole);
        if (result.ec == std::errc() && result.ptr == end) *integer = whole;
    }
    double number = 0;
    const auto result = std::from_chars(text.data(), end, number);
    if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return number;
}

std::string fileNameFor(std::string suite) {
    for (char& c : suite) {
        if (c == '/') c = '_';  // a suite name never leaves the preferences folder
    }
    return suite + ".plist";
}

}  // namespace

// --- Suites ------------------------------------------------------------------------------------

std::string NSUserDefaults::standardSuiteName() {
    return NSBundle::mainBundle()->bundleIdentifier();
}

std::shared_ptr<NSUserDefaults> NSUserDefaults::standardUserDefaults() {
    return UserDefaultsRegistry::shared().suite(standardSuiteName());
}

std::shared_ptr<NSUserDefaults> NSUserDefaults::suiteNamed(const std::string& name) {
    return UserDefaultsRegistry::shared().suite(name.empty() ? standardSuiteName() : name);
}

void NSUserDefaults::removePersistentDomainForName(const std::string& name) {
    suiteNamed(name)->removeEverything();
}

std::optional<Value::Dictionary> NSUserDefaults::persistentDomainForName(const std::string& name) {
    auto contents = suiteNamed(name)->dictionaryRepresentation();
    if (contents.empty()) return std::nullopt;
    return contents;
}

void NSUserDefaults::setWriteObserver(WriteObserver observer) {
    UserDefaultsRegistry::shared().setObserver(std::move(observer));
}

void NSUserDefaults::resetAllForTesting() {
    for (const auto& suite : UserDefaultsRegistry::shared().takeAll()) suite->forgetPendingChanges();
}

// --- Loading -----------------------------------------------------------------------------------

void NSUserDefaults::loadLocked() const {
    if (loaded_) return;
    loaded_ = true;
    root_ = DataRoot::path();
    file_ = DataRoot::preferences() / fileNameFor(suite_);
    std::error_code error;
    rootExisted_ = fs::exists(root_, error);
    values_ = PropertyListFile::readDictionary(file_, "NSUserDefaults: the preferences file",
                                               "the suite starts empty");
}

// --- Writing -----------------------------------------------------------------------------------

void NSUserDefaults::setObject(const Value& value, const std::string& key) {
    store(value, key, true);
}

void NSUserDefaults::setObjectLazily(const Value& value, const std::string& key) {
    store(value, key, false);
}

void NSUserDefaults::store(const Value& value, const std::string& key, bool scheduleWrite) {
    // A value the file cannot hold would make every later write of the suite fail: refuse it here,
    // where the caller is, and keep the stored one.
    std::string problem;
    if (!isValidUtf8(key)) problem = "the key is not UTF-8";
    if (!problem.empty() || !PropertyList::isWritable(value, &problem)) {
        Console::print("NSUserDefaults: the value for \"" + key + "\" cannot be stored (" + problem + ")");
        return;
    }
    {
        MutexLock lock(mutex_);
        loadLocked();
        bool changed = false;
        if (value.isNull()) {
            changed = values_.erase(key) > 0;
        } else if (auto found = values_.find(key); found == values_.end() ||
                                                   found->second.kind() != value.kind() ||
                                                   !(found->second == value)) {
            values_.insert_or_assign(key, value);
            changed = true;
        }
        if (changed) {
            ++changes_;
            if (scheduleWrite) scheduleWriteLocked();
        }
    }
    UserDefaultsRegistry::shared().notify(suite_, key,
                                          value.isNull() ? std::nullopt : std::optional<Value>(value));
}

void NSUserDefaults::scheduleWriteLocked() {
    Clock& clock = Clock::shared();
    // A clock replaced since has dropped the earlier request.
    if (writeScheduled_ && scheduledOn_ == &clock) return;
    writeScheduled_ = true;
    scheduledOn_ = &clock;
    scheduledToken_ = clock.schedule(clock.now() + 1,
                                     [weak = self_] { UserDefaultsRegistry::shared().enqueueWrite(weak); });
}

bool NSUserDefaults::synchronize() {
    ++synchronizeCount_;
    // The coalesced writer owns the file, as the system's preferences agent does: what changed is
    // written within a second, and at once by flushAll. A write that failed is tried again here.
    MutexLock lock(mutex_);
    if (loaded_ && changes_ != changesWritten_) scheduleWriteLocked();
    return !lastWriteFailed_;
}

bool NSUserDefaults::flushAll() {
    bool allWritten = true;
    for (const auto& suite : UserDefaultsRegistry::shared().all()) {
        allWritten = suite->writeIfChanged(WriteReason::Requested) && allWritten;
    }
    return allWritten;
}

bool NSUserDefaults::writeIfChanged(WriteReason reason) {
    MutexLock fileLock(fileMutex_);
    Value contents;
    std::uint64_t changesInContents = 0;
    fs::path file;
    {
        MutexLock lock(mutex_);
        if (reason == WriteReason::Scheduled) writeScheduled_ = false;
        if (!loaded_ || changes_ == changesWritten_) return true;
        if (reason != WriteReason::Requested) {
            std::error_code error;
            if (retired_ || (rootExisted_ && !fs::exists(root_, error))) return true;
        }
        contents = Value(values_);
        changesInContents = changes_;
        file = file_;
    }
    const bool written = PropertyList::writeFileAtomically(file, contents);
    MutexLock lock(mutex_);
    lastWriteFailed_ = !written;
    if (!written) {
        Console::print("NSUserDefaults: could not write the preferences file " + file.string());
        return false;
    }
    ++fileWriteCount_;
    changesWritten_ = changesInContents;
    return true;
}

void NSUserDefaults::removeEverything() {
    std::vector<std::string> keys;
    {
        MutexLock fileLock(fileMutex_);
        MutexLock lock(mutex_);
        loadLocked();
        for (const auto& [key, value] : values_) keys.push_back(key);
        values_.clear();
        changesWritten_ = ++changes_;
        std::error_code ignored;
        fs::remove(file_, ignored);
    }
    for (const auto& key : keys) UserDefaultsRegistry::shared().notify(suite_, key, std::nullopt);
}

void NSUserDefaults::forgetPendingChanges() {
    MutexLock lock(mutex_);
    retired_ = true;
    changesWritten_ = changes_;
    if (writeScheduled_ && scheduledOn_ == &Clock::shared()) scheduledOn_->cancel(scheduledToken_);
    writeScheduled_ = false;
}

// --- Reading -----------------------------------------------------------------------------------

const Value* NSUserDefaults::findLocked(const std::string& key) const {
    loadLocked();
    const auto found = values_.find(key);
    return found == values_.end() ? nullptr : &found->second;
}

std::optional<Value> NSUserDefaults::objectForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    if (const Value* value = findLocked(key)) return *value;
    return std::nullopt;
}

Value::Dictionary NSUserDefaults::dictionaryRepresentation() const {
    MutexLock lock(mutex_);
    loadLocked();
    return values_;
}

std::int64_t NSUserDefaults::integerForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return 0;
    switch (value->kind()) {
        case Value::Kind::Int:
            return *value->intValue();
        case Value::Kind::UInt:
            return value->intValue().value_or(std::numeric_limits<std::int64_t>::max());
        case Value::Kind::Double:
            return truncatedSaturating(*value->doubleValue());
        case Value::Kind::Bool:
            return *value->boolValue() ? 1 : 0;
        case Value::Kind::String: {
            std::optional<std::int64_t> whole;
            const auto number = numberInString(*value->stringValue(), &whole);
            if (whole) return *whole;
            return number ? truncatedSaturating(*number) : 0;
        }
        default:
            return 0;
    }
}

bool NSUserDefaults::boolForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return false;
    if (auto flag = value->boolValue()) return *flag;
    if (auto number = value->numberValue()) return *number != 0 && !std::isnan(*number);
    if (const auto* text = value->stringValue()) {
        return *text == "YES" || *text == "yes" || *text == "true" || *text == "1";
    }
    return false;
}

double NSUserDefaults::doubleForKey(const std::string& key) const {
    const auto value = objectForKey(key);
    if (!value) return 0;
    if (auto number = value->numberValue()) return *number;
    if (auto flag = value->boolValue()) return *flag ? 1 : 0;
    if (const auto* text = value->stringValue()) return numberInString(*text).value_or(0);
    return 0;
}

float NSUserDefaults::floatForKey(const std::string& key) const {
    const double number = doubleForKey(key);
    // Out of float's range is infinity, as the hardware would round, without the undefined cast.
    if (std::isfinite(number) && std::fabs(number) > std::numeric_limits<float>::max()) {
        return number > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(number);
}

std::optional<std::string> NSUserDefaults::stringForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    if (const Value* value = findLocked(key); value && value->stringValue()) return *value->stringValue();
    return std::nullopt;
}

std::optional<Value::Data> NSUserDefaults::dataForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    if (const Value* value = findLocked(key); value && value->dataValue()) return *value->dataValue();
    return std::nullopt;
}

std::optional<NSDate> NSUserDefaults::dateForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    if (const Value* value = findLocked(key)) return value->dateValue();
    return std::nullopt;
}

std::optional<Value::Array> NSUserDefaults::arrayForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    if (const Value* value = findLocked(key); value && value->arrayValue()) return *value->arrayValue();
    return std::nullopt;
}

std::optional<std::vector<std::string>> NSUserDefaults::stringArrayForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    const Value* value = findLocked(key);
    if (!value || !value->arrayValue()) return std::nullopt;
    std::vector<std::string> strings;
    for (const auto& item : *value->arrayValue()) {
        if (!item.stringValue()) return std::nullopt;
        strings.push_back(*item.stringValue());
    }
    return strings;
}

std::optional<Value::Dictionary> NSUserDefaults::dictionaryForKey(const std::string& key) const {
    MutexLock lock(mutex_);
    if (const Value* value = findLocked(key); value && value->dictionaryValue())
        return *value->dictionaryValue();
    return std::nullopt;
}

}  // namespace platform
