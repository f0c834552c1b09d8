#include "tests/soak/shared_folder_litter.h"

#include <sys/stat.h>

#include <system_error>

namespace quorvel::soak {

namespace fs = std::filesystem;

void SharedFolderLitter::leaveIn(const fs::path& container) {
    std::error_code ignored;
    const auto litter = container / "litter";
    fs::create_directories(litter, ignored);
    fs::create_directory_symlink("..", litter / "up", ignored);
    fs::create_directory_symlink(".", litter / "self", ignored);
    fs::create_directory_symlink("/", litter / "root", ignored);
    fs::path deep = litter / "deep";
    for (int level = 0; level < 48; ++level) deep /= "d";
    fs::create_directories(deep, ignored);

    const auto changes = container / "PomodoroStore" / "changes";
    const auto other = changes / "ANOTHER-PROGRAM";
    fs::create_directories(other, ignored);
    ::mkfifo((other / "000000000000001-fifo.plist").c_str(), 0600);
    fs::create_symlink("/dev/zero", other / "000000000000002-zero.plist", ignored);
    fs::create_directory_symlink("/usr", changes / "LINKED-DEVICE", ignored);
}

}  // namespace quorvel::soak
