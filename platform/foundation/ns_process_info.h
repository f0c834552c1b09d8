#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

// The running process: its launch arguments and environment. The arguments are read from the
// operating system on first use; tests set their own.
class NSProcessInfo {
public:
    static NSProcessInfo& processInfo();

    // The program path first, then the arguments it was launched with.
    std::vector<std::string> arguments() const;
    void setArguments(std::vector<std::string> arguments);

    std::map<std::string, std::string> environment() const;
    std::optional<std::string> environmentValue(const std::string& name) const;

private:
    NSProcessInfo() = default;

    mutable Mutex mutex_;
    mutable std::optional<std::vector<std::string>> arguments_ GUARDED_BY(mutex_);
};

}  // namespace platform
