#include "shell/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace quorvel::shell {

namespace {

// The running instance's process id as it wrote it; empty while it has not yet.
std::string holderOf(int descriptor) {
    char text[32] = {};
    const ssize_t length = pread(descriptor, text, sizeof text - 1, 0);
    std::string id(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    return id.find_first_not_of("0123456789") == std::string::npos ? id : std::string();
}

}  // namespace

std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::filesystem::path& root, std::string& problem) {
    std::error_code error;
    std::filesystem::create_directories(root, error);
    const auto file = root / "quorvel.lock";
    // Close-on-exec: a program the app starts must not keep the lock once the app is gone.
    const int descriptor = error ? -1 : ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        problem = "cannot create the data folder's lock " + file.string() + ": " +
                  (error ? error.message() : std::strerror(errno));
        return nullptr;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        const std::string holder = cause == EWOULDBLOCK ? holderOf(descriptor) : std::string();
        ::close(descriptor);
        if (cause != EWOULDBLOCK) {
            problem = "cannot lock " + file.string() + ": " + std::strerror(cause);
        } else {
            problem = "another quorvel" + (holder.empty() ? std::string() : " (process " + holder + ")") +
                      " is running on " + root.string() + "; only one may use a data folder at a time";
        }
        return nullptr;
    }
    const std::string id = std::to_string(::getpid()) + "\n";
    // Without the id the lock still holds; a second start then names no process.
    [[maybe_unused]] const bool named =
        ::ftruncate(descriptor, 0) == 0 && ::pwrite(descriptor, id.data(), id.size(), 0) > 0;
    return std::unique_ptr<InstanceLock>(new InstanceLock(descriptor));
}

InstanceLock::~InstanceLock() {
    ::close(descriptor_);
}

}  // namespace quorvel::shell
