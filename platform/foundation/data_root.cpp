#include "platform/foundation/data_root.h"

#include <cstdlib>

#include "platform/foundation/mutex.h"

namespace platform {

namespace {

struct RootSlot {
    Mutex mutex;
    std::filesystem::path path GUARDED_BY(mutex);
};

RootSlot& slot() {
    static auto* s = new RootSlot();  // never destroyed: background queues read the root until exit
    return *s;
}

std::filesystem::path defaultRoot() {
    if (const char* home = std::getenv("QUORVEL_HOME"); home && *home) return home;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        return std::filesystem::path(data) / "quorvel";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".local/share/quorvel";
}

}  // namespace

std::filesystem::path DataRoot::path() {
    auto& s = slot();
    MutexLock lock(s.mutex);
    if (s.path.empty()) s.path = defaultRoot();
    return s.path;
}

void DataRoot::setPath(const std::filesystem::path& newRoot) {
    auto& s = slot();
    MutexLock lock(s.mutex);
    s.path = newRoot;
}

}  // namespace platform
