#include "analytics/storage/apm_typed_config_store.h"

#include <cmath>
#include <cstdint>

namespace analytics {

using platform::Value;

namespace {

// A number's value, booleans included; nothing for anything else.
std::optional<double> numberOf(const std::optional<Value>& value) {
    if (!value) return std::nullopt;
    if (auto flag = value->boolValue()) return *flag ? 1.0 : 0.0;
    return value->numberValue();
}

}  // namespace

std::optional<Value::Array> APMTypedConfigStore::arrayForKey(const std::string& key) {
    auto value = objectForKey(key);
    if (!value || !value->arrayValue()) return std::nullopt;
    return *value->arrayValue();
}

std::optional<Value::Dictionary> APMTypedConfigStore::dictionaryForKey(const std::string& key) {
    auto value = objectForKey(key);
    if (!value || !value->dictionaryValue()) return std::nullopt;
    return *value->dictionaryValue();
}

std::optional<std::string> APMTypedConfigStore::stringForKey(const std::string& key) {
    auto value = objectForKey(key);
    if (!value || !value->stringValue()) return std::nullopt;
    return *value->stringValue();
}

std::int64_t APMTypedConfigStore::integerForKey(const std::string& key) {
    const auto value = objectForKey(key);
    if (value) {
        if (auto integer = value->intValue()) return *integer;
    }
    const auto number = numberOf(value);
    if (!number || std::isnan(*number)) return 0;
    if (*number >= 9223372036854775807.0) return INT64_MAX;
    if (*number <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(*number);
}

float APMTypedConfigStore::floatForKey(const std::string& key) {
    return static_cast<float>(doubleForKey(key));
}

double APMTypedConfigStore::doubleForKey(const std::string& key) {
    return numberOf(objectForKey(key)).value_or(0.0);
}

bool APMTypedConfigStore::boolForKey(const std::string& key) {
    const auto number = numberOf(objectForKey(key));
    return number && *number != 0;
}

void APMTypedConfigStore::setFloat(float value, const std::string& key) {
    setObject(Value(static_cast<double>(value)), key);
}

void APMTypedConfigStore::setDouble(double value, const std::string& key) {
    setObject(Value(value), key);
}

void APMTypedConfigStore::setInteger(std::int64_t value, const std::string& key) {
    setObject(Value(value), key);
}

void APMTypedConfigStore::setBool(bool value, const std::string& key) {
    setObject(Value(value), key);
}

void APMTypedConfigStore::removeObjectForKey(const std::string& key) {
    setObject(std::nullopt, key);
}

}  // namespace analytics
