#include "app/core/session_store_summary.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <system_error>

#include "platform/coredata/ns_managed_object_context.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_notification_center.h"

namespace quorvel {

namespace {

platform::Mutex summaryMutex;
// Counts the starts and ends of saves that change sessions.
std::uint64_t changes GUARDED_BY(summaryMutex) = 0;

bool changesSessions(const std::vector<platform::NSManagedObjectID>& objects) {
    return std::any_of(objects.begin(), objects.end(), [](const auto& id) { return id.entityName == "Session"; });
}

// A save that changes sessions outdates every summary made from a read before its end.
void noteChange(bool removeFile) {
    platform::MutexLock lock(summaryMutex);
    ++changes;
    if (removeFile) {
        std::error_code ignored;
        std::filesystem::remove(SessionStoreSummary::path(), ignored);
    }
}

}  // namespace

void SessionStoreSummary::watchSaves() {
    static std::once_flag once;
    std::call_once(once, [] {
        static const int observer = 0;
        auto& center = platform::NSNotificationCenter::defaultCenter();
        center.addObserver(&observer, platform::NSManagedObjectContextWillSaveNotification,
                           [](const platform::NSNotification& note) {
                               const auto* save = note.objectAs<platform::NSManagedObjectContextWillSave>();
                               if (save && changesSessions(save->updatedObjects)) noteChange(true);
                           });
        center.addObserver(&observer, platform::NSManagedObjectContextDidSaveNotification,
                           [](const platform::NSNotification& note) {
                               const auto* saved = note.objectAs<platform::NSManagedObjectContextDidSave>();
                               if (!saved) return;
                               std::vector<platform::NSManagedObjectID> updated;
                               for (const auto& snapshot : saved->updatedObjects) updated.push_back(snapshot.objectID);
                               if (changesSessions(updated)) noteChange(false);
                           });
    });
}

std::uint64_t SessionStoreSummary::readBegins() {
    platform::MutexLock lock(summaryMutex);
    return changes;
}

std::optional<std::string> SessionStoreSummary::read() {
    std::ifstream file(path(), std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    // Read in one piece: a summary may run to megabytes.
    std::string text(static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)), '\0');
    file.seekg(0);
    if (!file.read(text.data(), static_cast<std::streamsize>(text.size()))) return std::nullopt;
    return text;
}

bool SessionStoreSummary::write(const std::string& text, std::uint64_t readBegan) {
    const auto target = path();
    // A name of each write's own: two readers may put their summaries in place at once.
    static std::atomic<std::uint64_t> writes{0};
    auto written = target;
    written += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(++writes);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    {
        std::ofstream file(written, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            std::filesystem::remove(written, ec);
            return false;
        }
    }
    platform::MutexLock lock(summaryMutex);
    if (changes != readBegan) {
        std::filesystem::remove(written, ec);
        return false;
    }
    std::filesystem::rename(written, target, ec);
    return !ec;
}

std::filesystem::path SessionStoreSummary::path() {
    return platform::DataRoot::caches() / "Statistics" / "session-day-totals";
}

}  // namespace quorvel
