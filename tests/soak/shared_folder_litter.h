#pragma once

#include <filesystem>

namespace quorvel::soak {

// What other programs and file synchronisers may leave in the shared folder beside the app's own
// files: links round a loop, out of the folder and to a large tree, a tree deeper than the app watches,
// and, named like another device's change files, a FIFO nobody writes and a link to an endless device.
// The walk's two installations must sync through it as if it were not there.
class SharedFolderLitter {
public:
    // Leaves it all in `container`, the app's folder inside the shared folder.
    static void leaveIn(const std::filesystem::path& container);
};

}  // namespace quorvel::soak
