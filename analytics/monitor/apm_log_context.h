#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/ns_error.h"
#include "platform/foundation/ns_exception.h"

namespace analytics {

// One context object handed to the monitor with a message: nil, a string, a number, an exception, an
// error, or any other object known by its class name and (when it has one) its description.
class APMLogContext {
public:
    enum class Kind { Null, String, Integer, Unsigned, Double, Exception, Error, Object };

    APMLogContext() = default;
    APMLogContext(std::nullptr_t) {}
    APMLogContext(const char* text);
    APMLogContext(std::string text) : kind_(Kind::String), text_(std::move(text)) {}
    APMLogContext(std::string_view text) : APMLogContext(std::string(text)) {}
    template <std::signed_integral T>
    APMLogContext(T number) : kind_(Kind::Integer), integer_(number) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>) APMLogContext(T number) : kind_(Kind::Unsigned), unsigned_(number) {}
    APMLogContext(bool flag) : kind_(Kind::Integer), integer_(flag ? 1 : 0) {}
    APMLogContext(double number) : kind_(Kind::Double), double_(number) {}
    APMLogContext(platform::NSException exception);
    // A null error stands for nil.
    APMLogContext(std::shared_ptr<const platform::NSError> error);
    APMLogContext(std::shared_ptr<platform::NSError> error)
        : APMLogContext(std::shared_ptr<const platform::NSError>(std::move(error))) {}

    // Any other object: its class name, its description when it has one, and its address.
    static APMLogContext object(std::string className, std::optional<std::string> description,
                                const void* address = nullptr);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    const std::string& text() const { return text_; }
    const platform::NSException* exception() const { return exception_.get(); }
    const platform::NSError* error() const { return error_.get(); }
    // A number's value as a signed 64-bit integer: fractions truncated, out-of-range values saturated.
    std::int64_t integerValue() const;
    // The magnitude of a number's integer value, exact for every signed and unsigned 64-bit value.
    std::uint64_t magnitude() const;
    bool isNegative() const;

    // The object's own description: the text of a string, a number in decimal, an exception's reason,
    // an error's description, or "<Class 0x…>" for an object without one.
    std::string description() const;

private:
    Kind kind_ = Kind::Null;
    std::string text_;  // string, or class name of an object
    std::optional<std::string> objectDescription_;
    const void* address_ = nullptr;
    std::int64_t integer_ = 0;
    std::uint64_t unsigned_ = 0;
    double double_ = 0;
    std::shared_ptr<const platform::NSException> exception_;
    std::shared_ptr<const platform::NSError> error_;
};

}  // namespace analytics
