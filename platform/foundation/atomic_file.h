#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Whole-file replacement that a crash cannot tear: the bytes go to a hidden temporary file beside the
// target, are flushed to disk, and the file is renamed over the target; the folder is flushed too, so
// the new name survives a power loss.
class AtomicFile {
public:
    // Creates missing folders. False if anything failed; the old file is then untouched.
    static bool write(const std::filesystem::path& path, std::string_view contents);
};

}  // namespace platform
