#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analytics/foundation/apm_flat_string_map.h"
#include "platform/foundation/value.h"

namespace analytics {

// The one value type of event parameters and user properties: a double, a signed 64-bit integer, a
// string or an array of parameter dictionaries (the elements of an ecommerce "items" array). Immutable.
// Numbers and strings are held in place, so making one allocates nothing unless its text is long (every
// event carries several); an array is shared by the copies of a value.
class APMValue {
public:
    enum ValueType : std::int64_t { kDouble = 0, kInt64 = 1, kString = 2, kArray = 3 };
    using Parameters = APMFlatStringMap<APMValue>;
    using Array = std::vector<Parameters>;

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

    // The alternatives are in the order of the types.
    ValueType valueType() const { return static_cast<ValueType>(value_.index()); }

    bool isDouble() const { return valueType() == kDouble; }
    bool isInt64() const { return valueType() == kInt64; }
    bool isString() const { return valueType() == kString; }
    bool isArray() const { return valueType() == kArray; }
    // No conversions: a value of another type answers 0, 0.0 or null.
    double doubleValue() const;
    std::int64_t int64Value() const;
    const std::string* stringValue() const;
    const Array* arrayValue() const;

    std::string description() const;
    std::size_t hash() const;
    // Same type and equal contents: the double 1.0 and the integer 1 differ.
    friend bool operator==(const APMValue& a, const APMValue& b);

private:
    using Held = std::variant<double, std::int64_t, std::string, std::shared_ptr<const Array>>;
    explicit APMValue(Held value) : value_(std::move(value)) {}

    Held value_;
};

// The class name a plain object is reported by.
std::string APMClassNameOfObject(const platform::Value& object);

}  // namespace analytics

template <>
struct std::hash<analytics::APMValue> {
    std::size_t operator()(const analytics::APMValue& value) const { return value.hash(); }
};
