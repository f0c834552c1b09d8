#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/foundation/value.h"

namespace analytics {

// The library's key-value stores: the defaults store and the persistent dictionary. A missing value is
// nullopt; typed reads of another type answer 0, false or nullopt.
class APMConfigStore {
public:
    virtual ~APMConfigStore() = default;

    virtual std::optional<platform::Value> objectForKey(const std::string& key) = 0;
    virtual std::optional<platform::Value::Array> arrayForKey(const std::string& key) = 0;
    virtual std::optional<platform::Value::Dictionary> dictionaryForKey(const std::string& key) = 0;
    virtual std::optional<std::string> stringForKey(const std::string& key) = 0;
    virtual std::int64_t integerForKey(const std::string& key) = 0;
    virtual float floatForKey(const std::string& key) = 0;
    virtual double doubleForKey(const std::string& key) = 0;
    virtual bool boolForKey(const std::string& key) = 0;
    // nullopt removes the key.
    virtual void setObject(const std::optional<platform::Value>& value, const std::string& key) = 0;
    virtual void setFloat(float value, const std::string& key) = 0;
    virtual void setDouble(double value, const std::string& key) = 0;
    virtual void setInteger(std::int64_t value, const std::string& key) = 0;
    virtual void setBool(bool value, const std::string& key) = 0;
    virtual void removeObjectForKey(const std::string& key) = 0;
    virtual void clearAllData() = 0;
    virtual void synchronize() = 0;
};

}  // namespace analytics
