#pragma once

#include <filesystem>
#include <memory>
#include <optional>

namespace quorvel {

// Locates the managed object model and the folder that holds the session store.
class PFileManager {
public:
    static std::shared_ptr<PFileManager> shared();

    // The bundle's "Pomodoro.momd"; none when the bundle lacks it.
    std::optional<std::filesystem::path> modelURL() const;
    // <application support>/<bundle identifier>; none when the platform has no such folder.
    std::optional<std::filesystem::path> storeDirectoryURL() const;
    // True when the folder exists afterwards (also when it was there already).
    bool createStoreDirectory() const;
};

}  // namespace quorvel
