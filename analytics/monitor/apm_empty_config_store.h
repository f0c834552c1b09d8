#pragma once

#include "analytics/monitor/apm_config_store.h"

namespace analytics {

// A store that holds nothing: every read answers absent (0, false, nullopt), every write is dropped.
// The monitor keeps to it until the library hands it real stores.
class APMEmptyConfigStore final : public APMConfigStore {
public:
    std::optional<platform::Value> objectForKey(const std::string&) override { return std::nullopt; }
    std::optional<platform::Value::Array> arrayForKey(const std::string&) override { return std::nullopt; }
    std::optional<platform::Value::Dictionary> dictionaryForKey(const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> stringForKey(const std::string&) override { return std::nullopt; }
    std::int64_t integerForKey(const std::string&) override { return 0; }
    float floatForKey(const std::string&) override { return 0; }
    double doubleForKey(const std::string&) override { return 0; }
    bool boolForKey(const std::string&) override { return false; }
    void setObject(const std::optional<platform::Value>&, const std::string&) override {}
    void setFloat(float, const std::string&) override {}
    void setDouble(double, const std::string&) override {}
    void setInteger(std::int64_t, const std::string&) override {}
    void setBool(bool, const std::string&) override {}
    void removeObjectForKey(const std::string&) override {}
    void clearAllData() override {}
    void synchronize() override {}
};

}  // namespace analytics
