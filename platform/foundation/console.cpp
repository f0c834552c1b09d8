#include "platform/foundation/console.h"

#include <cstdio>

namespace platform {

namespace {
Mutex captureMutex;
Console::Capture* activeCapture GUARDED_BY(captureMutex) = nullptr;
}  // namespace

void Console::print(const std::string& line) {
    MutexLock lock(captureMutex);
    if (activeCapture) {
        MutexLock inner(activeCapture->mutex_);
        activeCapture->lines_.push_back(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

Console::Capture::Capture() {
    MutexLock lock(captureMutex);
    activeCapture = this;
}

Console::Capture::~Capture() {
    MutexLock lock(captureMutex);
    if (activeCapture == this) activeCapture = nullptr;
}

std::vector<std::string> Console::Capture::lines() const {
    MutexLock lock(mutex_);
    return lines_;
}

bool Console::Capture::contains(const std::string& text) const {
    MutexLock lock(mutex_);
    for (const auto& line : lines_) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

}  // namespace platform
