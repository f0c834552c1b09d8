#include "platform/coredata/sqlite_file_check.h"

#include <map>

#include "platform/coredata/launch_gate.h"

namespace platform {

namespace {

Mutex checksMutex;
// Held weakly: once the last store of a file closes, the next open checks the file again.
std::map<std::string, std::weak_ptr<SQLiteFileCheck>> checks GUARDED_BY(checksMutex);

}  // namespace

std::shared_ptr<SQLiteFileCheck> SQLiteFileCheck::forFile(const std::filesystem::path& file, bool& first) {
    std::error_code ec;
    auto key = std::filesystem::weakly_canonical(file, ec);
    if (ec) key = file.lexically_normal();
    MutexLock lock(checksMutex);
    auto& slot = checks[key.string()];
    auto check = slot.lock();
    first = !check;
    if (first) {
        check = std::make_shared<SQLiteFileCheck>();
        slot = check;
    }
    return check;
}

void SQLiteFileCheck::publish(Verdict verdict) {
    MutexLock lock(mutex_);
    if (verdict_) return;
    verdict_ = std::move(verdict);
    published_.notify_all();
}

SQLiteFileCheck::Verdict SQLiteFileCheck::await() {
    // A check held back for the launch's first frame must not keep a caller waiting for it.
    if (!isPublished()) LaunchGate::open();
    MutexLock lock(mutex_);
    while (!verdict_) lock.wait(published_);
    return *verdict_;
}

bool SQLiteFileCheck::isPublished() {
    MutexLock lock(mutex_);
    return verdict_.has_value();
}

}  // namespace platform
