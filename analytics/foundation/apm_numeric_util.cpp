#include "analytics/foundation/apm_numeric_util.h"

#include <openssl/rand.h>

#include <cerrno>
#include <cstring>

#include "analytics/foundation/apm_crypto_setup.h"
#include "analytics/monitor/apm_monitor.h"

namespace analytics {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool APMIsDecimalNumberString(const std::string& text) {
    // The pattern ^[+-]?(([0-9]+\.?)|([0-9]*\.[0-9]+))$ walked by hand: a regular-expression engine
    // recurses per character, and configurations may send very long texts.
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t integerDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++integerDigits;
    if (i == text.size()) return integerDigits > 0;
    if (text[i] != '.') return false;
    ++i;
    std::size_t fractionDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++fractionDigits;
    return i == text.size() && (integerDigits > 0 || fractionDigits > 0);
}

std::optional<APMDecimalNumber> APMDecimalNumberFromString(const std::string& text) {
    auto monitor = APMMonitor::sharedInstance();
    if (!APMIsDecimalNumberString(text)) {
        monitor->logWithLevel(APMLogLevel::SilentError, 26001,
                              "String value does not represent a numeric value. Value", text);
        return std::nullopt;
    }
    auto number = APMDecimalNumber::fromPlainString(text);
    if (!number) {
        monitor->logWithLevel(APMLogLevel::SilentError, 26002,
                              "Unable to create a NSDecimalNumber from string value. Value", text);
        return std::nullopt;
    }
    // Every digit is kept or the text is refused: rounding to the digits the type holds would lose some.
    if (!number->fitsSignificantDigits()) {
        monitor->logWithLevel(
            APMLogLevel::SilentError, 26003,
            "Unable to create a NSDecimalNumber from string value: loss of precision. Value", text);
        return std::nullopt;
    }
    if (!number->fitsExponentRange()) {
        monitor->logWithLevel(APMLogLevel::SilentError, 26002,
                              "Unable to create a NSDecimalNumber from string value. Value", text);
        return std::nullopt;
    }
    return number;
}

std::int64_t APMNumericUtil::randomInt64() {
    APMSetUpCrypto();
    std::uint64_t bits = 0;
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&bits), sizeof bits) != 1) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentWarning, 26004,
                                                   "Unable to generate random integer",
                                                   std::string(std::strerror(errno)));
        return 0;
    }
    return static_cast<std::int64_t>(bits);
}

}  // namespace analytics
