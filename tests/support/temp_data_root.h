#pragma once

#include <filesystem>

namespace quorvel::testing {

// A fresh data root in a temporary folder for one test, with no user-defaults suite loaded yet;
// removed again at the end, with the shared folder the sync makes beside it.
class TempDataRoot {
public:
    // In `parent`, the system's temporary folder unless named.
    explicit TempDataRoot(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~TempDataRoot();
    TempDataRoot(const TempDataRoot&) = delete;
    TempDataRoot& operator=(const TempDataRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace quorvel::testing
