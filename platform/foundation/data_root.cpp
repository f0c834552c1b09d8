#include "platform/foundation/data_root.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex rootMutex;
std::filesystem::path root;

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
    std::lock_guard lock(rootMutex);
    if (root.empty()) root = defaultRoot();
    return root;
}

void DataRoot::setPath(const std::filesystem::path& newRoot) {
    std::lock_guard lock(rootMutex);
    root = newRoot;
}

}  // namespace platform
