#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/foundation/console.h"

namespace quorvel::testing {

// A chain of `levels` folders named "d" in a folder, made one level at a time through descriptors (its
// paths are far longer than a path may be), and removed again the same way.
class DeepTree {
public:
    DeepTree(std::filesystem::path folder, int levels) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        int parent = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; level < levels && parent >= 0; ++level) {
            const int made =
                ::mkdirat(parent, "d", 0755) == 0 ? ::openat(parent, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
            ::close(parent);
            parent = made;
        }
        made_ = parent >= 0;
        if (made_) ::close(parent);
    }
    // A level at a time from the top, with short paths only.
    ~DeepTree() {
        const auto top = folder_ / "d";
        const auto lifted = folder_ / ".lifted";
        std::error_code ec;
        while (!ec && std::filesystem::is_directory(top / "d")) {
            std::filesystem::rename(top / "d", lifted, ec);
            if (!ec) std::filesystem::remove_all(top, ec);
            if (!ec) std::filesystem::rename(lifted, top, ec);
        }
        std::filesystem::remove_all(top, ec);
    }
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    bool made() const { return made_; }

private:
    std::filesystem::path folder_;
    bool made_ = false;
};

// While alive, the process may open only `spare` more descriptors, as when it has reached its limit.
class DescriptorLimit {
public:
    explicit DescriptorLimit(int spare) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit lowered = saved_;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree + spare);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~DescriptorLimit() { lift(); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;
    void lift() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

// `count` empty folders in a folder, as other programs leave them (a trash, a cache).
inline void makeWideFolder(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) std::filesystem::create_directory(folder / std::to_string(i));
}

// Waits (ten seconds at most) until `holds` is true; false if it never was.
template <typename Condition>
bool waitUntil(Condition holds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!holds()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Waits (ten seconds at most) until a line with `text` is printed.
inline bool waitForLine(const platform::Console::Capture& console, const std::string& text) {
    return waitUntil([&] { return console.contains(text); });
}

inline int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// The inotify watches this process holds, as the kernel lists them.
inline int inotifyWatches() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(entry.path(), ec).string() != "anon_inode:inotify") continue;
        std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
        for (std::string line; std::getline(info, line);) count += line.starts_with("inotify wd:");
    }
    return count;
}

}  // namespace quorvel::testing
