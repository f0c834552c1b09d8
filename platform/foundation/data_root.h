#pragma once

#include <filesystem>

namespace platform {

// The folder that plays the app's sandbox: $QUORVEL_HOME, or ${XDG_DATA_HOME:-~/.local/share}/quorvel.
// Library/Preferences holds the user-defaults suites, Library/Application Support the stores,
// Library/Caches the caches. Tests point it at a temporary folder of their own.
class DataRoot {
public:
    static std::filesystem::path path();
    static void setPath(const std::filesystem::path& root);

    static std::filesystem::path library() { return path() / "Library"; }
    static std::filesystem::path preferences() { return library() / "Preferences"; }
    static std::filesystem::path applicationSupport() { return library() / "Application Support"; }
    static std::filesystem::path caches() { return library() / "Caches"; }
};

}  // namespace platform
