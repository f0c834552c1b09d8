#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace quorvel::fuzzing {

// A fresh temporary folder for one fuzz run's files, removed when the run ends (keep it in a static).
// In memory where the machine offers it: the stores flush every write, and a run makes thousands.
class FuzzFolder {
public:
    explicit FuzzFolder(const std::string& name) {
        std::error_code ignored;
        const std::filesystem::path memory = "/dev/shm";
        const auto parent =
            std::filesystem::is_directory(memory, ignored) ? memory : std::filesystem::temp_directory_path();
        std::string pattern = (parent / (name + "-XXXXXX")).string();
        if (const char* made = ::mkdtemp(pattern.data())) path_ = made;
    }
    ~FuzzFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace quorvel::fuzzing
