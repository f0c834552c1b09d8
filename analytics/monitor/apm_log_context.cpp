#include "analytics/monitor/apm_log_context.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace analytics {

APMLogContext::APMLogContext(const char* text) {
    if (!text) return;
    kind_ = Kind::String;
    text_ = text;
}

APMLogContext::APMLogContext(platform::NSException exception)
    : kind_(Kind::Exception), exception_(std::make_shared<platform::NSException>(std::move(exception))) {}

APMLogContext::APMLogContext(std::shared_ptr<const platform::NSError> error) {
    if (!error) return;
    kind_ = Kind::Error;
    error_ = std::move(error);
}

APMLogContext APMLogContext::object(std::string className, std::optional<std::string> description,
                                    const void* address) {
    APMLogContext context;
    context.kind_ = Kind::Object;
    context.text_ = std::move(className);
    context.objectDescription_ = std::move(description);
    context.address_ = address;
    return context;
}

std::int64_t APMLogContext::integerValue() const {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    switch (kind_) {
        case Kind::Integer:
            return integer_;
        case Kind::Unsigned:
            return unsigned_ > static_cast<std::uint64_t>(max) ? max : static_cast<std::int64_t>(unsigned_);
        case Kind::Double:
            if (std::isnan(double_)) return 0;
            if (double_ >= 9223372036854775808.0) return max;
            if (double_ < -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
            return static_cast<std::int64_t>(double_);
        default:
            return 0;
    }
}

std::uint64_t APMLogContext::magnitude() const {
    if (kind_ == Kind::Unsigned) return unsigned_;
    const std::int64_t value = integerValue();
    // Negating in unsigned arithmetic keeps INT64_MIN exact.
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

bool APMLogContext::isNegative() const {
    return kind_ != Kind::Unsigned && integerValue() < 0;
}

std::string APMLogContext::description() const {
    switch (kind_) {
        case Kind::Null:
            return "(nil)";
        case Kind::String:
            return text_;
        case Kind::Integer:
            return std::to_string(integer_);
        case Kind::Unsigned:
            return std::to_string(unsigned_);
        case Kind::Double: {
            if (std::isnan(double_)) return "nan";
            if (std::isinf(double_)) return double_ > 0 ? "inf" : "-inf";
            char buffer[64];
            auto result = std::to_chars(buffer, buffer + sizeof buffer, double_);
            return std::string(buffer, result.ptr);
        }
        case Kind::Exception:
            return exception_->description();
        case Kind::Error:
            return error_->description();
        case Kind::Object:
            if (objectDescription_) return *objectDescription_;
            char address[32];
            std::snprintf(address, sizeof address, "%p", address_);
            return "<" + text_ + " " + address + ">";
    }
    return {};
}

}  // namespace analytics
