#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/foundation/value.h"

namespace analytics {

// The one value type of event parameters and user properties: a double, a signed 64-bit integer, a
// string or an array of parameter dictionaries (the elements of an ecommerce "items" array). Immutable;
// copies share the wrapped object.
class APMValue {
public:
    enum ValueType : std::int64_t { kDouble = 0, kInt64 = 1, kString = 2, kArray = 3 };
    using Parameters = std::map<std::string, APMValue>;
    using Array = std::vector<Parameters>;
    using Wrapped = std::variant<double, std::int64_t, std::string, Array>;

    // Trusts its caller: the type is the wrapped object's.
    APMValue(ValueType valueType, std::shared_ptr<const Wrapped> value);

    static APMValue initWithDouble(double value);
    static APMValue initWithInt64(std::int64_t value);
    // Text that is not UTF-8 is no string (35003).
    static std::optional<APMValue> initWithString(const std::string& value);
    // A plain object: null is nil (35002), anything but a string is refused (35003).
    static std::optional<APMValue> initWithString(const platform::Value& value);
    static APMValue initWithArray(Array value);
    // A plain array: each dictionary element becomes parameters of values made with valueFromObject
    // (arrays allowed); elements of any other kind cannot be held and are left out.
    static std::optional<APMValue> initWithArray(const platform::Value& value);

    // A plain object: a string, a number (a floating-point one becomes a double, any other an integer,
    // so a boolean is 0 or 1) or, when allowed, an array. Anything else is logged and gives nullopt.
    static std::optional<APMValue> valueFromObject(const platform::Value& object, bool allowArray = false);
    // Already a value: returned as it is, whatever its type.
    static APMValue valueFromObject(const APMValue& value, bool allowArray = false);

    ValueType valueType() const { return type_; }
    const std::shared_ptr<const Wrapped>& value() const { return value_; }

    bool isDouble() const { return type_ == kDouble; }
    bool isInt64() const { return type_ == kInt64; }
    bool isString() const { return type_ == kString; }
    bool isArray() const { return type_ == kArray; }
    // No conversions: a value of another type answers 0, 0.0 or null.
    double doubleValue() const;
    std::int64_t int64Value() const;
    const std::string* stringValue() const;
    const Array* arrayValue() const;

    std::string description() const;
    std::size_t hash() const;
    // Same type and equal wrapped objects: the double 1.0 and the integer 1 differ.
    friend bool operator==(const APMValue& a, const APMValue& b);

private:
    ValueType type_;
    std::shared_ptr<const Wrapped> value_;
};

// The class name a plain object is reported by.
std::string APMClassNameOfObject(const platform::Value& object);

}  // namespace analytics

template <>
struct std::hash<analytics::APMValue> {
    std::size_t operator()(const analytics::APMValue& value) const { return value.hash(); }
};
