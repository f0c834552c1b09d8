#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// A fresh data root and clock, and a log of every set and remove of every user-defaults suite.
class SettingsTest : public ::testing::Test {
protected:
    struct Write {
        std::string suite;
        std::string key;
        std::optional<platform::Value> value;  // none: removed
    };

    SettingsTest() {
        platform::NSUserDefaults::setWriteObserver([this](const std::string& suite, const std::string& key,
                                                          const std::optional<platform::Value>& value) {
            std::lock_guard lock(mutex_);
            writes_.push_back({suite, key, value});
        });
    }
    ~SettingsTest() override { platform::NSUserDefaults::setWriteObserver({}); }

    std::vector<Write> takeWrites() {
        std::lock_guard lock(mutex_);
        return std::exchange(writes_, {});
    }

    TempDataRoot root_;
    std::shared_ptr<platform::VirtualClock> clock_ = platform::VirtualClock::install();

private:
    std::mutex mutex_;
    std::vector<Write> writes_;
};

}  // namespace quorvel::testing
