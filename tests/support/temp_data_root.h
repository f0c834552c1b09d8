#pragma once

#include <filesystem>

namespace quorvel::testing {

// A fresh data root in a temporary folder for one test, with no user-defaults suite loaded yet;
// removed again at the end.
class TempDataRoot {
public:
    TempDataRoot();
    ~TempDataRoot();
    TempDataRoot(const TempDataRoot&) = delete;
    TempDataRoot& operator=(const TempDataRoot&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace quorvel::testing
