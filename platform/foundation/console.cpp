#include "platform/foundation/console.h"

#include <cstdio>

namespace platform {

Mutex Console::mutex_;
Console::Capture* Console::active_ = nullptr;

void Console::print(const std::string& line) {
    MutexLock lock(mutex_);
    if (active_) {
        active_->lines_.push_back(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

Console::Capture::Capture() {
    MutexLock lock(mutex_);
    active_ = this;
}

Console::Capture::~Capture() {
    MutexLock lock(mutex_);
    if (active_ == this) active_ = nullptr;
}

std::vector<std::string> Console::Capture::lines() const {
    MutexLock lock(Console::mutex_);
    return lines_;
}

bool Console::Capture::contains(const std::string& text) const {
    MutexLock lock(Console::mutex_);
    for (const auto& line : lines_) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

}  // namespace platform
