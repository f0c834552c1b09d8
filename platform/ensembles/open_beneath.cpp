#include "platform/ensembles/open_beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// Closes a descriptor on the way out without touching errno.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd < 0) return;
        const int saved = errno;
        ::close(fd);
        errno = saved;
    }
};

// Where openat2 is missing (older kernels) or refused (sandboxes that filter system calls they do not
// know answer EPERM or ENOSYS): one component at a time, none of them a link, none of them "..".
int openEachComponent(int directory, const std::filesystem::path& relative, int flags) {
    Descriptor current{::dup(directory)};
    if (current.fd < 0) return -1;
    std::filesystem::path last = ".";
    for (auto part = relative.begin(); part != relative.end(); ++part) {
        if (part->empty() || *part == ".") continue;
        if (*part == "..") {
            errno = EXDEV;  // as openat2 refuses a path that leaves the folder
            return -1;
        }
        if (last != ".") {
            Descriptor next{::openat(current.fd, last.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
            if (next.fd < 0) {
                struct stat status{};
                if (errno == ENOTDIR && ::fstatat(current.fd, last.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISLNK(status.st_mode))
                    errno = ELOOP;
                return -1;
            }
            std::swap(current.fd, next.fd);
        }
        last = *part;
    }
    return ::openat(current.fd, last.c_str(), flags | O_NOFOLLOW);
}

int openWithoutResolve(int directory, const std::filesystem::path& relative, int flags) {
    open_how how{};
    how.flags = static_cast<unsigned long long>(flags);
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, directory, relative.empty() ? "." : relative.c_str(), &how, sizeof how);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
    return openEachComponent(directory, relative, flags);
}

}  // namespace

int openBeneath(const std::filesystem::path& folder, const std::filesystem::path& relative, int flags) {
    const Descriptor directory{::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd < 0) return -1;
    return openWithoutResolve(directory.fd, relative, flags | O_CLOEXEC);
}

}  // namespace platform
