#pragma once

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/coredata/sqlite_file_health.h"
#include "platform/foundation/mutex.h"

namespace platform {

// The health verdict on one store file, shared by every store of this process that has the file open:
// the file is checked once however many connections open it. The store that opens the file first
// runs the check and publishes the verdict; the others wait for it.
class SQLiteFileCheck {
public:
    struct Verdict {
        SQLiteFileHealth::Health health;
        std::string reason;
    };

    // The check of `file` while a store of this process holds it; `first` tells the caller it made
    // the check and so must publish a verdict.
    static std::shared_ptr<SQLiteFileCheck> forFile(const std::filesystem::path& file, bool& first);

    void publish(Verdict verdict) EXCLUDES(mutex_);
    // Waits while the check runs.
    Verdict await() EXCLUDES(mutex_);
    bool isPublished() EXCLUDES(mutex_);

private:
    Mutex mutex_;
    std::condition_variable published_;
    std::optional<Verdict> verdict_ GUARDED_BY(mutex_);
};

}  // namespace platform
