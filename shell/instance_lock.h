#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace quorvel::shell {

// One running quorvel per data folder: an advisory lock on a file in the folder, held for the life of
// the process. The system lets go of it however the process ends, so a killed instance leaves no lock
// behind (the file stays, unlocked). The holder writes its process id into the file for a second start
// to name.
class InstanceLock {
public:
    // Takes the lock on `root`, creating the folder and the lock file where missing and nothing else.
    // Without it, `problem` is one line: the running instance, or what failed.
    static std::unique_ptr<InstanceLock> acquire(const std::filesystem::path& root, std::string& problem);

    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    explicit InstanceLock(int descriptor) : descriptor_(descriptor) {}

    int descriptor_;
};

}  // namespace quorvel::shell
