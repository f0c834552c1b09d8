#include "platform/foundation/console.h"

#include <cstdio>

namespace platform {

namespace {
std::mutex captureMutex;
Console::Capture* activeCapture = nullptr;
}  // namespace

void Console::print(const std::string& line) {
    std::lock_guard lock(captureMutex);
    if (activeCapture) {
        std::lock_guard inner(activeCapture->mutex_);
        activeCapture->lines_.push_back(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

Console::Capture::Capture() {
    std::lock_guard lock(captureMutex);
    activeCapture = this;
}

Console::Capture::~Capture() {
    std::lock_guard lock(captureMutex);
    if (activeCapture == this) activeCapture = nullptr;
}

std::vector<std::string> Console::Capture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool Console::Capture::contains(const std::string& text) const {
    std::lock_guard lock(mutex_);
    for (const auto& line : lines_) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

}  // namespace platform
