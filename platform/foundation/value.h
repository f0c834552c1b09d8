#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/foundation/ns_date.h"

namespace platform {

// The one dynamic type: property lists, user defaults, notification objects, analytics parameters.
// A boolean, an integer and a floating number stay distinct kinds, because callers tell them apart.
class Value {
public:
    enum class Kind { Null, Bool, Int, UInt, Double, String, Data, Date, Array, Dictionary };

    using Array = std::vector<Value>;
    using Dictionary = std::map<std::string, Value>;
    using Data = std::vector<std::uint8_t>;

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool value) : storage_(value) {}
    template <std::signed_integral T>
    requires(!std::same_as<T, bool>) Value(T value) : storage_(static_cast<std::int64_t>(value)) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>) Value(T value) : storage_(static_cast<std::uint64_t>(value)) {}
    Value(double value) : storage_(value) {}
    Value(const char* value) : storage_(std::string(value)) {}
    Value(std::string value) : storage_(std::move(value)) {}
    Value(std::string_view value) : storage_(std::string(value)) {}
    Value(Data value) : storage_(std::move(value)) {}
    Value(NSDate value) : storage_(value) {}
    Value(Array value) : storage_(std::move(value)) {}
    Value(Dictionary value) : storage_(std::move(value)) {}
    // Any other pointer would silently become a bool.
    template <typename T>
    requires(!std::same_as<std::remove_cv_t<T>, char>) Value(T*)
    = delete;

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    std::optional<bool> boolValue() const;
    // Int and UInt are one integer seen two ways: each answers when the number fits its type.
    std::optional<std::int64_t> intValue() const;
    std::optional<std::uint64_t> uintValue() const;
    std::optional<double> doubleValue() const;
    // Int, UInt or Double, as a double.
    std::optional<double> numberValue() const;
    const std::string* stringValue() const { return std::get_if<std::string>(&storage_); }
    const Data* dataValue() const { return std::get_if<Data>(&storage_); }
    std::optional<NSDate> dateValue() const;
    const Array* arrayValue() const { return std::get_if<Array>(&storage_); }
    const Dictionary* dictionaryValue() const { return std::get_if<Dictionary>(&storage_); }

    // How many arrays and dictionaries are nested at the deepest point; a scalar is 0.
    int nestingDepth() const;

    // Same kind and value, except that Int and UInt compare by number and NaN equals NaN, so a
    // stored value read back compares equal to what was written.
    friend bool operator==(const Value& a, const Value& b);

private:
    // The order of the alternatives is the order of Kind.
    std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double, std::string, Data, NSDate, Array,
                 Dictionary>
        storage_;
};

}  // namespace platform
