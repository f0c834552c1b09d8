#pragma once

#include "analytics/monitor/apm_config_store.h"

namespace analytics {

// A key-value store whose typed reads and writes all go through objectForKey and setObject: a read
// answers a stored value of its type (any number, booleans included, for the numeric reads) and 0,
// false or nothing for anything else; a write stores the plain value.
class APMTypedConfigStore : public APMConfigStore {
public:
    std::optional<platform::Value::Array> arrayForKey(const std::string& key) override;
    std::optional<platform::Value::Dictionary> dictionaryForKey(const std::string& key) override;
    std::optional<std::string> stringForKey(const std::string& key) override;
    // Fractions truncated; beyond the 64-bit range the answer saturates.
    std::int64_t integerForKey(const std::string& key) override;
    float floatForKey(const std::string& key) override;
    double doubleForKey(const std::string& key) override;
    bool boolForKey(const std::string& key) override;
    void setFloat(float value, const std::string& key) override;
    void setDouble(double value, const std::string& key) override;
    void setInteger(std::int64_t value, const std::string& key) override;
    void setBool(bool value, const std::string& key) override;
    void removeObjectForKey(const std::string& key) override;
};

}  // namespace analytics
