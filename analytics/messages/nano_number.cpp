#include "analytics/messages/nano_number.h"

#include <cmath>

namespace {

int64_t saturatingInt64(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775808.0) return INT64_MAX;
    if (value < -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(value);
}

uint64_t saturatingUInt64(double value) {
    if (std::isnan(value) || value <= 0) return 0;
    if (value >= 18446744073709551616.0) return UINT64_MAX;
    return static_cast<uint64_t>(value);
}

}  // namespace

NanoNumber NanoNumber::withBool(bool value) {
    return NanoNumber(Type::Bool, value, value, value);
}

NanoNumber NanoNumber::withInt(int32_t value) {
    return NanoNumber(Type::Int32, value, static_cast<uint64_t>(static_cast<int64_t>(value)), value);
}

NanoNumber NanoNumber::withUnsignedInt(uint32_t value) {
    return NanoNumber(Type::UInt32, value, value, value);
}

NanoNumber NanoNumber::withLongLong(int64_t value) {
    return NanoNumber(Type::Int64, value, static_cast<uint64_t>(value), static_cast<double>(value));
}

NanoNumber NanoNumber::withUnsignedLongLong(uint64_t value) {
    return NanoNumber(Type::UInt64, static_cast<int64_t>(value), value, static_cast<double>(value));
}

NanoNumber NanoNumber::withFloat(float value) {
    return NanoNumber(Type::Float, saturatingInt64(value), saturatingUInt64(value), value);
}

NanoNumber NanoNumber::withDouble(double value) {
    return NanoNumber(Type::Double, saturatingInt64(value), saturatingUInt64(value), value);
}

bool NanoNumber::boolValue() const {
    return isFloatingPoint() ? real_ != 0 : unsigned_ != 0;
}

int32_t NanoNumber::intValue() const {
    return static_cast<int32_t>(integer_);
}

uint32_t NanoNumber::unsignedIntValue() const {
    return static_cast<uint32_t>(unsigned_);
}

int64_t NanoNumber::longLongValue() const {
    return integer_;
}

uint64_t NanoNumber::unsignedLongLongValue() const {
    return unsigned_;
}

float NanoNumber::floatValue() const {
    return static_cast<float>(real_);
}

double NanoNumber::doubleValue() const {
    return real_;
}

bool NanoNumber::operator==(const NanoNumber& other) const {
    if (isFloatingPoint() || other.isFloatingPoint()) return real_ == other.real_;
    return integer_ == other.integer_ && unsigned_ == other.unsigned_;
}
