#include "platform/ensembles/open_beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// Older kernels lack openat2: a link is then refused only as the last part of the path.
int openWithoutResolve(int directory, const char* relative, int flags) {
    open_how how{};
    how.flags = static_cast<unsigned long long>(flags);
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, directory, relative, &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
    return ::openat(directory, relative, flags | O_NOFOLLOW);
}

}  // namespace

int openBeneath(const std::filesystem::path& folder, const std::filesystem::path& relative, int flags) {
    const int directory = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) return -1;
    const int fd = openWithoutResolve(directory, relative.empty() ? "." : relative.c_str(), flags | O_CLOEXEC);
    const int saved = errno;
    ::close(directory);
    errno = saved;
    return fd;
}

}  // namespace platform
