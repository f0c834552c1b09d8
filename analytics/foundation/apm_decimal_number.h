#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace analytics {

// An exact decimal number: a sign, significant digits and a power of ten, as read from text. It keeps
// every digit it was given; whether they fit the library's 38 digits is the caller's question.
class APMDecimalNumber {
public:
    static constexpr std::size_t kMaxSignificantDigits = 38;
    static constexpr int kMinExponent = -128;
    static constexpr int kMaxExponent = 127;

    // A plain decimal text: an optional sign, digits with an optional point, no exponent or grouping,
    // "." as the decimal separator whatever the user's locale; nullopt for anything else.
    static std::optional<APMDecimalNumber> fromPlainString(std::string_view text);

    bool isNegative() const { return negative_; }
    // Without leading or trailing zeros; "0" for zero.
    const std::string& significantDigits() const { return digits_; }
    // The number is significantDigits × 10^exponent.
    int exponent() const { return exponent_; }
    bool fitsSignificantDigits() const { return digits_.size() <= kMaxSignificantDigits; }
    // Whether the power of ten is one the library's decimal type can hold.
    bool fitsExponentRange() const;

    // Positional text without trailing zeros after the point, e.g. "1.5", "-0.5", "1200".
    std::string stringValue() const;
    APMDecimalNumber negated() const;

    bool operator==(const APMDecimalNumber&) const = default;

private:
    APMDecimalNumber(bool negative, std::string digits, int exponent)
        : negative_(negative), digits_(std::move(digits)), exponent_(exponent) {}

    bool negative_;
    std::string digits_;
    int exponent_;
};

}  // namespace analytics
