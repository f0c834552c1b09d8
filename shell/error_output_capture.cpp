#include "shell/error_output_capture.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace quorvel::shell {

ErrorOutputCapture::ErrorOutputCapture() {
    std::fflush(stderr);
    // A file, not a pipe: a writer never blocks on a full one with nobody reading.
    held_ = memfd_create("quorvel-error-output", MFD_CLOEXEC);
    if (held_ < 0) return;
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ < 0 || dup2(held_, STDERR_FILENO) < 0) {
        if (saved_ >= 0) close(saved_);
        close(held_);
        held_ = saved_ = -1;
    }
}

ErrorOutputCapture::~ErrorOutputCapture() {
    finish();
}

std::string ErrorOutputCapture::finish() {
    if (held_ < 0) return {};
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    std::string written;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t n = pread(held_, buffer, sizeof buffer, at);
        if (n <= 0) break;
        written.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    close(held_);
    held_ = saved_ = -1;
    return written;
}

}  // namespace quorvel::shell
