#include "platform/foundation/ns_file_manager.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/foundation/data_root.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

bool fail(std::string* error, const std::string& what, const fs::path& path, std::error_code code) {
    if (error) *error = what + " \"" + path.string() + "\": " + code.message();
    return false;
}

bool existsWithoutFollowing(const fs::path& path) {
    std::error_code code;
    const fs::file_status status = fs::symlink_status(path, code);
    return !code && fs::exists(status);
}

// A move across file systems: copy everything, then remove the original.
bool copyThenRemove(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code code;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, code);
    if (code) {
        std::error_code ignored;
        fs::remove_all(to, ignored);
        return fail(error, "Could not move", from, code);
    }
    fs::remove_all(from, code);
    if (code) return fail(error, "Moved but could not remove", from, code);
    return true;
}

// The item's inode flags; 0 on a file system that has none.
std::optional<int> inodeFlags(int fd, std::string* error, const fs::path& path) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) return flags;
    if (errno == ENOTTY || errno == EOPNOTSUPP || errno == ENOSYS) return 0;
    fail(error, "Could not read the attributes of", path, std::error_code(errno, std::generic_category()));
    return std::nullopt;
}

// An open descriptor for reading flags, closed at the end of its scope.
class ItemDescriptor {
public:
    explicit ItemDescriptor(const fs::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)) {}
    ~ItemDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    ItemDescriptor(const ItemDescriptor&) = delete;
    ItemDescriptor& operator=(const ItemDescriptor&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::shared_ptr<NSFileManager> NSFileManager::defaultManager() {
    // Never destroyed: background queues may still ask for it while the process exits.
    static const auto* manager = new std::shared_ptr<NSFileManager>(std::make_shared<NSFileManager>());
    return *manager;
}

std::vector<fs::path> NSFileManager::URLsForDirectory(NSSearchPathDirectory directory,
                                                      NSSearchPathDomainMask domains) const {
    const auto mask = static_cast<unsigned long>(domains);
    if ((mask & static_cast<unsigned long>(NSSearchPathDomainMask::User)) == 0) return {};
    switch (directory) {
        case NSSearchPathDirectory::Library:
            return {DataRoot::library()};
        case NSSearchPathDirectory::Document:
            return {DataRoot::path() / "Documents"};
        case NSSearchPathDirectory::Caches:
            return {DataRoot::caches()};
        case NSSearchPathDirectory::ApplicationSupport:
            return {DataRoot::applicationSupport()};
    }
    return {};
}

bool NSFileManager::createDirectoryAtPath(const fs::path& path, bool withIntermediateDirectories,
                                          std::string* error) const {
    std::error_code code;
    if (withIntermediateDirectories) {
        fs::create_directories(path, code);
        // An existing folder counts as success; anything else standing there does not.
        if (!code && fs::is_directory(path, code)) return true;
        if (!code) code = std::make_error_code(std::errc::file_exists);
        return fail(error, "Could not create the folder", path, code);
    }
    if (fs::create_directory(path, code)) return true;
    if (!code) code = std::make_error_code(std::errc::file_exists);
    return fail(error, "Could not create the folder", path, code);
}

bool NSFileManager::fileExistsAtPath(const fs::path& path, bool* isDirectory) const {
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    const bool exists = !code && fs::exists(status);
    if (isDirectory) *isDirectory = exists && fs::is_directory(status);
    return exists;
}

bool NSFileManager::isWritableFileAtPath(const fs::path& path) const {
    return ::access(path.c_str(), W_OK) == 0;
}

std::optional<NSFileAttributes> NSFileManager::attributesOfItemAtPath(const fs::path& path,
                                                                      std::string* error) const {
    ItemDescriptor item(path);
    if (item.fd() < 0) {
        fail(error, "Could not read the attributes of", path,
             std::error_code(errno, std::generic_category()));
        return std::nullopt;
    }
    const auto flags = inodeFlags(item.fd(), error, path);
    if (!flags) return std::nullopt;
    return NSFileAttributes{(*flags & FS_IMMUTABLE_FL) != 0};
}

bool NSFileManager::setImmutable(bool immutable, const fs::path& path, std::string* error) const {
    ItemDescriptor item(path);
    if (item.fd() < 0)
        return fail(error, "Could not change the attributes of", path,
                    std::error_code(errno, std::generic_category()));
    const auto flags = inodeFlags(item.fd(), error, path);
    if (!flags) return false;
    const int wanted = immutable ? (*flags | FS_IMMUTABLE_FL) : (*flags & ~FS_IMMUTABLE_FL);
    if (wanted == *flags) return true;
    if (::ioctl(item.fd(), FS_IOC_SETFLAGS, &wanted) == 0) return true;
    return fail(error, "Could not change the attributes of", path,
                std::error_code(errno, std::generic_category()));
}

std::optional<NSFileSystemAttributes> NSFileManager::attributesOfFileSystemForPath(const fs::path& path,
                                                                                   std::string* error) const {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) {
        fail(error, "Could not read the file system of", path,
             std::error_code(errno, std::generic_category()));
        return std::nullopt;
    }
    const std::uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
    return NSFileSystemAttributes{unit * info.f_blocks, unit * info.f_bavail};
}

bool NSFileManager::removeItemAtPath(const fs::path& path, std::string* error) const {
    if (!existsWithoutFollowing(path)) {
        return fail(error, "Could not remove", path,
                    std::make_error_code(std::errc::no_such_file_or_directory));
    }
    std::error_code code;
    fs::remove_all(path, code);
    if (code) return fail(error, "Could not remove", path, code);
    return true;
}

bool NSFileManager::moveItemAtPath(const fs::path& from, const fs::path& to, std::string* error) const {
    if (!existsWithoutFollowing(from)) {
        return fail(error, "Could not move", from,
                    std::make_error_code(std::errc::no_such_file_or_directory));
    }
    // RENAME_NOREPLACE makes "fails if the destination exists" hold even against a racing writer.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    const int failure = errno;
    if (failure == EEXIST)
        return fail(error, "Could not move to", to, std::make_error_code(std::errc::file_exists));
    if (failure != EINVAL && failure != ENOSYS && failure != EXDEV) {
        return fail(error, "Could not move", from, std::error_code(failure, std::generic_category()));
    }
    // A file system without the no-replace flag, or another file system: check, then move.
    if (existsWithoutFollowing(to)) {
        return fail(error, "Could not move to", to, std::make_error_code(std::errc::file_exists));
    }
    if (failure == EXDEV) return copyThenRemove(from, to, error);
    std::error_code code;
    fs::rename(from, to, code);
    if (code == std::errc::cross_device_link) return copyThenRemove(from, to, error);
    if (code) return fail(error, "Could not move", from, code);
    return true;
}

}  // namespace platform
