#include "platform/foundation/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace platform {

namespace {

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes a finished rename durable; failure here does not undo the rename, so it is not reported.
void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool AtomicFile::write(const std::filesystem::path& path, std::string_view contents) {
    const auto folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);

    // Hidden, so folder listings never show a half-written file. Built by appending: GCC 12 warns
    // falsely about chains of string operator+.
    static std::atomic<std::uint64_t> counter{0};
    std::string name = ".";
    name.append(path.filename().string()).append(".tmp-").append(std::to_string(::getpid()));
    name.append("-").append(std::to_string(counter++));
    const auto temporary = folder / name;

    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, contents) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace platform
