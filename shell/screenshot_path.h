#pragma once

#include <filesystem>

namespace quorvel::shell {

// Where the next screenshot goes: "Screenshots/quorvel-<date>-<time>.png" in the data root, or in the
// current folder when the data root cannot take it; never over an earlier one.
class ScreenshotPath {
public:
    static std::filesystem::path next();
};

}  // namespace quorvel::shell
