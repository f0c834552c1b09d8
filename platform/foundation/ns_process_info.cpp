#include "platform/foundation/ns_process_info.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace platform {

namespace {

std::vector<std::string> launchArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    std::string::size_type start = 0;
    while (start < raw.size()) {
        auto end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        arguments.push_back(raw.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

}  // namespace

NSProcessInfo& NSProcessInfo::processInfo() {
    static auto* info = new NSProcessInfo();  // never destroyed: read by threads until exit
    return *info;
}

std::vector<std::string> NSProcessInfo::arguments() const {
    MutexLock lock(mutex_);
    if (!arguments_) arguments_ = launchArguments();
    return *arguments_;
}

void NSProcessInfo::setArguments(std::vector<std::string> arguments) {
    MutexLock lock(mutex_);
    arguments_ = std::move(arguments);
}

std::map<std::string, std::string> NSProcessInfo::environment() const {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals == std::string::npos) continue;
        variables.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return variables;
}

std::optional<std::string> NSProcessInfo::environmentValue(const std::string& name) const {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace platform
