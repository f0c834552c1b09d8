#include "platform/foundation/value.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {

constexpr auto kInt64Max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

bool sameDouble(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

std::optional<bool> Value::boolValue() const {
    if (const auto* value = std::get_if<bool>(&storage_)) return *value;
    return std::nullopt;
}

std::optional<std::int64_t> Value::intValue() const {
    if (const auto* value = std::get_if<std::int64_t>(&storage_)) return *value;
    if (const auto* value = std::get_if<std::uint64_t>(&storage_); value && *value <= kInt64Max) {
        return static_cast<std::int64_t>(*value);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> Value::uintValue() const {
    if (const auto* value = std::get_if<std::uint64_t>(&storage_)) return *value;
    if (const auto* value = std::get_if<std::int64_t>(&storage_); value && *value >= 0) {
        return static_cast<std::uint64_t>(*value);
    }
    return std::nullopt;
}

std::optional<double> Value::doubleValue() const {
    if (const auto* value = std::get_if<double>(&storage_)) return *value;
    return std::nullopt;
}

std::optional<double> Value::numberValue() const {
    switch (kind()) {
        case Kind::Int:
            return static_cast<double>(std::get<std::int64_t>(storage_));
        case Kind::UInt:
            return static_cast<double>(std::get<std::uint64_t>(storage_));
        case Kind::Double:
            return std::get<double>(storage_);
        default:
            return std::nullopt;
    }
}

std::optional<NSDate> Value::dateValue() const {
    if (const auto* value = std::get_if<NSDate>(&storage_)) return *value;
    return std::nullopt;
}

int Value::nestingDepth() const {
    int deepest = 0;
    if (const auto* array = arrayValue()) {
        for (const auto& item : *array) deepest = std::max(deepest, item.nestingDepth());
        return deepest + 1;
    }
    if (const auto* dictionary = dictionaryValue()) {
        for (const auto& [key, item] : *dictionary) deepest = std::max(deepest, item.nestingDepth());
        return deepest + 1;
    }
    return 0;
}

bool operator==(const Value& a, const Value& b) {
    using Kind = Value::Kind;
    const bool aInteger = a.kind() == Kind::Int || a.kind() == Kind::UInt;
    const bool bInteger = b.kind() == Kind::Int || b.kind() == Kind::UInt;
    if (aInteger && bInteger) {
        // Equal numbers fit the same type, so comparing through whichever type fits is exact.
        if (auto left = a.intValue()) return left == b.intValue();
        return a.uintValue() == b.uintValue();
    }
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
        case Kind::Null:
            return true;
        case Kind::Double:
            return sameDouble(*a.doubleValue(), *b.doubleValue());
        case Kind::Date:
            return sameDouble(a.dateValue()->timeIntervalSinceReferenceDate(),
                              b.dateValue()->timeIntervalSinceReferenceDate());
        default:
            return a.storage_ == b.storage_;
    }
}

}  // namespace platform
