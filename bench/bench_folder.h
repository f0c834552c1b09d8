#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace quorvel::bench {

// A fresh folder under the system's temporary folder for a benchmark's files; empty when none can be
// made. The benchmark removes it when it is done with it.
inline std::string freshFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

}  // namespace quorvel::bench
