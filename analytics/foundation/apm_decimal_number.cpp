#include "analytics/foundation/apm_decimal_number.h"

#include <algorithm>
#include <cstdint>

namespace analytics {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<APMDecimalNumber> APMDecimalNumber::fromPlainString(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string digits;
    long long fractionDigits = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (char c : text) {
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (isDigit(c)) {
            seenDigit = true;
            // Leading zeros carry nothing; a zero after the point still shifts the fraction.
            if (!digits.empty() || c != '0') digits += c;
            if (seenPoint) ++fractionDigits;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) return std::nullopt;

    long long exponent = -fractionDigits;
    std::size_t kept = digits.size();
    while (kept > 0 && digits[kept - 1] == '0') --kept;
    exponent += static_cast<long long>(digits.size() - kept);
    digits.resize(kept);
    if (digits.empty()) return APMDecimalNumber(false, "0", 0);

    // The canonical text never outgrows the input, whose zeros it only moves.
    if (exponent < INT32_MIN || exponent > INT32_MAX) return std::nullopt;
    return APMDecimalNumber(negative, std::move(digits), static_cast<int>(exponent));
}

std::string APMDecimalNumber::stringValue() const {
    std::string text = negative_ ? "-" : "";
    const long long length = static_cast<long long>(digits_.size());
    if (exponent_ >= 0) {
        text += digits_;
        if (digits_ != "0") text.append(static_cast<std::size_t>(exponent_), '0');
    } else if (-exponent_ < length) {
        const auto integerDigits = static_cast<std::size_t>(length + exponent_);
        text += digits_.substr(0, integerDigits) + "." + digits_.substr(integerDigits);
    } else {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent_ - length), '0');
        text += digits_;
    }
    return text;
}

bool APMDecimalNumber::fitsExponentRange() const {
    // Zeros appended to the digits can take over part of a power that is too high.
    const long long spareDigits =
        static_cast<long long>(kMaxSignificantDigits) - static_cast<long long>(digits_.size());
    return exponent_ >= kMinExponent && exponent_ <= kMaxExponent + std::max(spareDigits, 0LL);
}

APMDecimalNumber APMDecimalNumber::negated() const {
    if (digits_ == "0") return *this;
    return APMDecimalNumber(!negative_, digits_, exponent_);
}

}  // namespace analytics
