#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "platform/ensembles/open_beneath.h"
#include "tests/support/temp_data_root.h"

using platform::openBeneath;

namespace {

// Makes openat2 fail with `answer` in this process from now on, as a sandbox's system-call filter does.
bool refuseOpenat2(int answer) {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(answer) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// What openBeneath answers for `relative`: 0 when it opened, else errno.
int answerFor(const std::filesystem::path& folder, const char* relative) {
    const int fd = openBeneath(folder, relative, O_RDONLY);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

// Child exit codes: 0 all as expected, 1 the filter could not be set, 2 + the check that failed.
int checkInChild(const std::filesystem::path& folder, int answer) {
    if (!refuseOpenat2(answer)) return 1;
    if (answerFor(folder, "a/b/file") != 0) return 2;
    if (answerFor(folder, "a/b/missing") != ENOENT) return 3;
    if (answerFor(folder, "link/file") != ELOOP) return 4;
    if (answerFor(folder, "a/linked-file") != ELOOP) return 5;
    if (answerFor(folder, "a/../a/b/file") == 0) return 6;
    return 0;
}

}  // namespace

// Where openat2 is refused (EPERM from older container runtimes' filters, ENOSYS from older kernels),
// a path inside the folder still opens and a link anywhere on it is still refused.
TEST(OpenBeneath, WithoutOpenat2APathStillOpensAndNoLinkOnItIsFollowed) {
    quorvel::testing::TempDataRoot root;
    const auto folder = root.path() / "cloud";
    std::filesystem::create_directories(folder / "a" / "b");
    std::ofstream(folder / "a" / "b" / "file") << "x";
    std::filesystem::create_directory_symlink(folder / "a" / "b", folder / "link");
    std::filesystem::create_symlink(folder / "a" / "b" / "file", folder / "a" / "linked-file");

    EXPECT_EQ(answerFor(folder, "a/b/file"), 0);
    EXPECT_EQ(answerFor(folder, "link/file"), ELOOP);
    for (const int answer : {EPERM, ENOSYS}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(checkInChild(folder, answer));
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "openat2 answering " << answer;
    }
}
