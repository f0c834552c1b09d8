#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The platform's numbers for the standard folders and search domains.
enum class NSSearchPathDirectory : unsigned long {
    Library = 5,
    Document = 9,
    Caches = 13,
    ApplicationSupport = 14,
};

enum class NSSearchPathDomainMask : unsigned long {
    User = 1,
    Local = 2,
    System = 8,
    All = 0x0ffff,
};

// What an item's attributes tell: whether it is marked immutable (the file system's immutable flag).
struct NSFileAttributes {
    bool immutable = false;
};

// The file system holding an item: its size and its free space, in bytes.
struct NSFileSystemAttributes {
    std::uint64_t size = 0;
    std::uint64_t freeSize = 0;
};

// File operations with the platform's semantics on the real file system. The app's standard folders
// live in the data root. Failures return false and, when `error` is given, a readable reason.
class NSFileManager {
public:
    static std::shared_ptr<NSFileManager> defaultManager();

    // The folder in the data root for the user domain; empty for other domains. The folder may not
    // exist yet.
    std::vector<std::filesystem::path> URLsForDirectory(NSSearchPathDirectory directory,
                                                        NSSearchPathDomainMask domains) const;

    // With intermediate directories an existing folder is a success; without them the folder must
    // not exist yet and its parent must.
    bool createDirectoryAtPath(const std::filesystem::path& path, bool withIntermediateDirectories,
                               std::string* error = nullptr) const;
    bool createDirectoryAtURL(const std::filesystem::path& url, bool withIntermediateDirectories,
                              std::string* error = nullptr) const {
        return createDirectoryAtPath(url, withIntermediateDirectories, error);
    }

    // Follows a final symbolic link, as the platform does.
    bool fileExistsAtPath(const std::filesystem::path& path, bool* isDirectory = nullptr) const;
    bool isWritableFileAtPath(const std::filesystem::path& path) const;

    // Nothing (and why in `error`) when the item cannot be examined. A file system without the
    // immutable flag reports every item as mutable.
    std::optional<NSFileAttributes> attributesOfItemAtPath(const std::filesystem::path& path,
                                                           std::string* error = nullptr) const;
    // Sets or clears the immutable mark; clearing it where the file system has none succeeds.
    bool setImmutable(bool immutable, const std::filesystem::path& path, std::string* error = nullptr) const;
    std::optional<NSFileSystemAttributes> attributesOfFileSystemForPath(const std::filesystem::path& path,
                                                                        std::string* error = nullptr) const;

    // Removes a file, a link or a whole folder tree.
    bool removeItemAtPath(const std::filesystem::path& path, std::string* error = nullptr) const;
    // Never replaces: fails when anything stands at `to`.
    bool moveItemAtPath(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::string* error = nullptr) const;
};

}  // namespace platform
