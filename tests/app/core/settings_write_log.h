#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/ns_user_defaults.h"

namespace quorvel::testing {

// Records every set and remove of every user-defaults suite while alive.
class SettingsWriteLog {
public:
    struct Write {
        std::string suite;
        std::string key;
        std::optional<platform::Value> value;  // none: removed
    };

    SettingsWriteLog() {
        platform::NSUserDefaults::setWriteObserver([this](const std::string& suite, const std::string& key,
                                                          const std::optional<platform::Value>& value) {
            std::lock_guard lock(mutex_);
            writes_.push_back({suite, key, value});
        });
    }
    ~SettingsWriteLog() { platform::NSUserDefaults::setWriteObserver({}); }
    SettingsWriteLog(const SettingsWriteLog&) = delete;
    SettingsWriteLog& operator=(const SettingsWriteLog&) = delete;

    std::vector<Write> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(writes_, {});
    }

private:
    std::mutex mutex_;
    std::vector<Write> writes_;
};

}  // namespace quorvel::testing
