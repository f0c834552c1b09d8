#include "analytics/foundation/apm_data_type_validator.h"

#include <unicode/uchar.h>

#include <array>
#include <string_view>

#include "analytics/foundation/apm_event_names.h"
#include "analytics/foundation/apm_name_maps.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/utf8.h"

namespace analytics {

namespace {

using Validator = APMDataTypeValidator;

constexpr std::array<std::string_view, 3> kReservedPrefixes = {"dazaraze_", "vuziri_", "va_"};
constexpr std::string_view kForwardedOriginSuffix = "+gtm";

// Values are warnings; names and everything else are errors.
std::int64_t levelFor(int type) {
    return type == Validator::kEventParameterValue || type == Validator::kUserPropertyValue
               ? APMLogLevel::Warning
               : APMLogLevel::Error;
}

void log(std::int64_t level, std::int64_t code, const std::string& message) {
    APMMonitor::sharedInstance()->logWithLevel(level, code, message);
}

void log(std::int64_t level, std::int64_t code, const std::string& message, const APMLogContext& context) {
    APMMonitor::sharedInstance()->logWithLevel(level, code, message, context);
}

bool fail(int* failureCode, int code) {
    if (failureCode) *failureCode = code;
    return false;
}

void clear(int* failureCode) {
    if (failureCode) *failureCode = Validator::kNoFailure;
}

// Names are mostly ASCII, whose letters and digits are known without asking ICU.
constexpr bool isAsciiLetter(char32_t point) {
    return (point >= 'a' && point <= 'z') || (point >= 'A' && point <= 'Z');
}

bool isLetter(char32_t point) {
    if (point < 0x80) return isAsciiLetter(point);
    return (U_GET_GC_MASK(point) & U_GC_L_MASK) != 0;
}

constexpr bool isAsciiNameCharacter(char32_t point) {
    return point == '_' || isAsciiLetter(point) || (point >= '0' && point <= '9');
}

bool isNameCharacter(char32_t point) {
    if (point < 0x80) return isAsciiNameCharacter(point);
    return (U_GET_GC_MASK(point) & (U_GC_L_MASK | U_GC_ND_MASK)) != 0;
}

// Which bytes are ASCII letters, digits or "_", looked up rather than compared: every name of every
// event passes through here.
constexpr std::array<bool, 256> kAsciiNameBytes = [] {
    std::array<bool, 256> table{};
    for (int byte = 0; byte < 0x80; ++byte) table[byte] = isAsciiNameCharacter(static_cast<char32_t>(byte));
    return table;
}();

// Letters, digits and "_" of ASCII within 1 to `maxLength` bytes: nearly every name there is, known to
// pass in one walk over its bytes. Anything else takes the full checks, which say why it fails.
bool isPlainAsciiName(std::string_view name, std::int64_t maxLength) {
    if (name.empty() || static_cast<std::int64_t>(name.size()) > maxLength) return false;
    for (const char byte : name) {
        if (!kAsciiNameBytes[static_cast<unsigned char>(byte)]) return false;
    }
    return true;
}

UChar32 firstCodePoint(std::string_view text) {
    UChar32 first = U_SENTINEL;
    platform::forEachCodePoint(text, [&](char32_t point) {
        first = point;
        return false;
    });
    return first;
}

APMLogContext contextOfBytes() {
    return APMLogContext::object("NSData", std::nullopt);
}

// Ends after the base rule when the value is no string, so numbers and arrays pass.
bool checkValueObject(const Validator::Object& value, int type, int* failureCode) {
    clear(failureCode);
    if (!value) {
        log(3, 13004, APMValidatorTypeName(type) + " cannot be nil");
        return fail(failureCode, Validator::kMissing);
    }
    return true;
}

}  // namespace

std::string APMValidatorTypeName(int type) {
    static constexpr std::array<const char*, 10> kNames = {"Event name",
                                                           "Event origin",
                                                           "Event parameter name",
                                                           "Event parameter value",
                                                           "User property name",
                                                           "User property value",
                                                           "Screen parameter value",
                                                           "Conditional user property origin",
                                                           "Conditional user property name",
                                                           "Conditional user property value"};
    return type >= 0 && type < static_cast<int>(kNames.size()) ? kNames[type] : "Object";
}

bool Validator::isValidString(const Text& text, std::int64_t minLength, std::int64_t maxLength, int type,
                              int* failureCode) {
    clear(failureCode);
    const std::int64_t level = levelFor(type);
    if (!text) {
        log(level, 13001, APMValidatorTypeName(type) + " is required and can't be nil");
        return fail(failureCode, kMissing);
    }
    // One walk both checks the bytes and counts the code points.
    const std::optional<std::size_t> codePoints = platform::codePointCount(*text);
    if (!codePoints) {
        log(level, 13000, APMValidatorTypeName(type) + " must be of type NSString", contextOfBytes());
        return fail(failureCode, kWrongType);
    }
    if (minLength >= 1 && text->empty()) {
        if (level != 3) log(level, 13001, APMValidatorTypeName(type) + " is required and can't be empty");
        return fail(failureCode, kMissing);
    }
    const auto length = static_cast<std::int64_t>(*codePoints);
    if (length > maxLength) {
        log(level, 13000,
            APMValidatorTypeName(type) + " is too long. The maximum supported length is " +
                std::to_string(maxLength),
            *text);
        return fail(failureCode, kTooLong);
    }
    if (length < minLength) {
        log(level, 13000,
            APMValidatorTypeName(type) + " is too short. The minimum supported length is " +
                std::to_string(minLength),
            *text);
        return fail(failureCode, kTooShort);
    }
    return true;
}

bool Validator::isValidInternalName(const Text& name, std::int64_t maxLength, int type, int* failureCode) {
    if (name && isPlainAsciiName(*name, maxLength)) {
        clear(failureCode);
        return true;
    }
    if (!isValidString(name, 1, maxLength, type, failureCode)) return false;
    if (!platform::forEachCodePoint(*name, isNameCharacter)) {
        log(0, 13002, APMValidatorTypeName(type) + " must contain only letters, numbers, or underscores",
            *name);
        return fail(failureCode, kInvalidCharacters);
    }
    return true;
}

bool Validator::isValidPublicName(const Text& name, std::int64_t maxLength, int type, int* failureCode) {
    if (!isValidInternalName(name, maxLength, type, failureCode)) return false;
    if (!isLetter(firstCodePoint(*name))) {
        log(0, 13003, APMValidatorTypeName(type) + " must start with a letter", *name);
        return fail(failureCode, kInvalidCharacters);
    }
    return true;
}

bool Validator::isValidValue(const Object& value, std::int64_t minLength, std::int64_t maxLength, int type,
                             int* failureCode) {
    if (!checkValueObject(value, type, failureCode)) return false;
    if (const std::string* text = value->stringValue())
        return isValidString(*text, minLength, maxLength, type, failureCode);
    return true;
}

bool Validator::isValidPublicEventName(const Text& name, int* failureCode) {
    if (!isValidPublicName(name, 40, kEventName, failureCode)) return false;
    if (*name == "screen_view") return true;
    if (APMPublicToInternalEventNames().contains(std::string(*name)) &&
        !APMAdImpressionEventNames().contains(std::string(*name))) {
        log(0, 13006, "Event name is reserved. Ignoring event", *name);
        return fail(failureCode, kReserved);
    }
    if (hasReservedPrefixes(*name)) {
        log(0, 13007, "Event name uses reserved prefix. Ignoring event", *name);
        return fail(failureCode, kReserved);
    }
    return true;
}

bool Validator::isValidPublicEventParameterName(const Text& name, int* failureCode) {
    if (!isValidPublicName(name, 40, kEventParameterName, failureCode)) return false;
    if (hasReservedPrefixes(*name)) {
        log(0, 13008, "Parameter name uses reserved prefix. Ignoring parameter", *name);
        return fail(failureCode, kReserved);
    }
    return true;
}

bool Validator::isValidPublicEventParameterValue(const Object& value, int* failureCode) {
    return isValidValue(value, 0, 100, kEventParameterValue, failureCode);
}

bool Validator::isValidInternalEventName(const Text& name, int* failureCode) {
    return isValidInternalName(name, 40, kEventName, failureCode);
}

bool Validator::isValidInternalEventParameterName(const Text& name, int* failureCode) {
    return isValidInternalName(name, 40, kEventParameterName, failureCode);
}

bool Validator::isValidInternalEventParameterValue(const Object& value, int* failureCode) {
    return isValidValue(value, 0, 256, kEventParameterValue, failureCode);
}

bool Validator::isValidInternalEventOrigin(const Text& origin, int* failureCode) {
    return isValidInternalName(origin, 32, kEventOrigin, failureCode);
}

bool Validator::isValidForwardedEventOrigin(const Text& origin, int* failureCode) {
    clear(failureCode);
    if (!origin || origin->empty()) return fail(failureCode, kMissing);
    if (!origin->ends_with(kForwardedOriginSuffix)) return fail(failureCode, kNotForwardedOrigin);
    return isValidInternalName(origin->substr(0, origin->size() - kForwardedOriginSuffix.size()), 32,
                               kEventOrigin, failureCode);
}

bool Validator::isValidPublicUserAttributeName(const Text& name, int* failureCode) {
    if (!isValidPublicName(name, 24, kUserPropertyName, failureCode)) return false;
    if (APMUserPropertyNameMap().contains(std::string(*name))) {
        log(0, 13009, "User property name is reserved. Ignoring user property", *name);
        return fail(failureCode, kReserved);
    }
    if (hasReservedPrefixes(*name)) {
        log(0, 13010, "User property name uses reserved prefix. Ignoring user property", *name);
        return fail(failureCode, kReserved);
    }
    return true;
}

bool Validator::isValidPublicUserAttributeValue(const Object& value, int* failureCode) {
    return isValidValue(value, 1, 36, kUserPropertyValue, failureCode);
}

bool Validator::isValidInternalUserAttributeName(const Text& name, int* failureCode) {
    return isValidInternalName(name, 24, kUserPropertyName, failureCode);
}

bool Validator::isValidInternalUserAttributeValue(const Object& value, const std::string& name,
                                                  int* failureCode) {
    const std::int64_t maxLength = name == "_id" || name == "_vbraid" ? 256 : 36;
    return isValidValue(value, 1, maxLength, kUserPropertyValue, failureCode);
}

bool Validator::isValidScreenParameterValue(const Text& value, int* failureCode) {
    return isValidString(value, 1, 100, kScreenParameterValue, failureCode);
}

bool Validator::isValidConditionalUserPropertyOrigin(const Text& origin, int* failureCode) {
    return isValidInternalName(origin, 32, kConditionalUserPropertyOrigin, failureCode);
}

bool Validator::isValidConditionalUserPropertyName(const Text& name, int* failureCode) {
    return isValidInternalName(name, 24, kConditionalUserPropertyName, failureCode);
}

bool Validator::isValidConditionalUserPropertyValue(const Object& value, int* failureCode) {
    return isValidValue(value, 1, 36, kConditionalUserPropertyValue, failureCode);
}

bool Validator::isValidNumericValue(const Object& value, int* failureCode) {
    if (!checkValueObject(value, kEventParameterValue, failureCode)) return false;
    if (value->isInt64() || value->isDouble()) return true;
    log(3, 13011, "Event parameter value must be specified with a numeric type. value", value->description());
    return fail(failureCode, kNotNumeric);
}

bool Validator::isValidCurrencyCode(const Object& value, int* failureCode) {
    if (!checkValueObject(value, kEventParameterValue, failureCode)) return false;
    if (const std::string* text = value->stringValue()) {
        // Three UTF-16 units, all letters.
        int units = 0;
        const bool letters = platform::forEachCodePoint(*text, [&](char32_t point) {
            units += U16_LENGTH(point);
            return isLetter(point);
        });
        if (letters && units == 3) return true;
    }
    log(3, 13012, "Event parameter value must contain a 3-letter ISO_4217 currency code. value",
        value->description());
    return fail(failureCode, kNotCurrencyCode);
}

bool Validator::isValidArrayParamForEvent(const std::string& eventName, const std::string& paramName,
                                          std::int64_t arrayCount, bool isNestedArrayParam,
                                          int* failureCode) {
    clear(failureCode);
    if (isNestedArrayParam) {
        log(0, 13013, "Nested array parameters are not allowed. Name", paramName);
        return fail(failureCode, kNestedArray);
    }
    if (!APMEventAcceptsItems(eventName)) {
        log(0, 13013, "Only ecommerce events are allowed to contain array parameters. Invalid ecommerce name",
            eventName);
        return fail(failureCode, kArrayOnEventWithoutItems);
    }
    if (paramName != "items") {
        log(0, 13013,
            APMValidatorTypeName(kEventParameterName) +
                " is an invalid ecommerce items. The name of array parameters for ecommerce should be "
                "\"items\". Invalid parameter name",
            paramName);
        return fail(failureCode, kArrayNotNamedItems);
    }
    if (arrayCount > kMaxArrayItems) {
        log(0, 13013,
            "Array parameter has too many items. The maximum number of supported items is " +
                std::to_string(kMaxArrayItems) + ". Invalid array size",
            arrayCount);
        return fail(failureCode, kTooManyArrayItems);
    }
    return true;
}

bool Validator::isValidArrayParamItem(const platform::Value& item, int* failureCode) {
    clear(failureCode);
    if (item.dictionaryValue()) return true;
    log(0, 13014, "Array param must be a dictionary. Parameters",
        APMLogContext::object(APMClassNameOfObject(item), std::nullopt));
    return fail(failureCode, kArrayItemNotDictionary);
}

bool Validator::hasReservedPrefixes(std::string_view name) {
    for (std::string_view prefix : kReservedPrefixes) {
        if (name.starts_with(prefix)) return true;
    }
    return false;
}

}  // namespace analytics
