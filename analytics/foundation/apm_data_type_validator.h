#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analytics/foundation/apm_value.h"
#include "platform/foundation/value.h"

namespace analytics {

// The one place that decides whether a name or value may enter the library. Every check answers
// whether it passed, writes a failure code through `failureCode` (which may be null; 0 when it passed)
// and logs the reason. Lengths count Unicode code points; bytes that are not UTF-8 are no string.
class APMDataTypeValidator {
public:
    // What is checked; it names the item in messages.
    enum DataType : int {
        kEventName = 0,
        kEventOrigin = 1,
        kEventParameterName = 2,
        kEventParameterValue = 3,
        kUserPropertyName = 4,
        kUserPropertyValue = 5,
        kScreenParameterValue = 6,
        kConditionalUserPropertyOrigin = 7,
        kConditionalUserPropertyName = 8,
        kConditionalUserPropertyValue = 9,
    };

    enum FailureCode : int {
        kNoFailure = 0,
        kMissing = 1,
        kTooLong = 2,
        kInvalidCharacters = 3,
        kReserved = 4,
        kWrongType = 5,
        kNotForwardedOrigin = 6,
        kTooShort = 7,
        kNotNumeric = 8,
        kNotCurrencyCode = 9,
        kArrayOnEventWithoutItems = 10,
        kArrayNotNamedItems = 11,
        kTooManyArrayItems = 12,
        kNestedArray = 13,
        kArrayItemNotDictionary = 14,
    };

    static constexpr std::int64_t kMaxArrayItems = 200;

    // nullopt stands for nil. Text is a view, so a check makes no copy of what it reads.
    using Text = std::optional<std::string_view>;
    using Object = std::optional<APMValue>;

    static bool isValidString(const Text& text, std::int64_t minLength, std::int64_t maxLength, int type,
                              int* failureCode);
    // 1 to `maxLength` letters, decimal digits and "_".
    static bool isValidInternalName(const Text& name, std::int64_t maxLength, int type, int* failureCode);
    // An internal name that starts with a letter.
    static bool isValidPublicName(const Text& name, std::int64_t maxLength, int type, int* failureCode);
    // A string value obeys the bounds; numbers and arrays pass.
    static bool isValidValue(const Object& value, std::int64_t minLength, std::int64_t maxLength, int type,
                             int* failureCode);

    static bool isValidPublicEventName(const Text& name, int* failureCode);
    static bool isValidPublicEventParameterName(const Text& name, int* failureCode);
    static bool isValidPublicEventParameterValue(const Object& value, int* failureCode);
    static bool isValidInternalEventName(const Text& name, int* failureCode);
    static bool isValidInternalEventParameterName(const Text& name, int* failureCode);
    static bool isValidInternalEventParameterValue(const Object& value, int* failureCode);
    static bool isValidInternalEventOrigin(const Text& origin, int* failureCode);
    // An origin ending in "+gtm" whose rest is a valid internal origin.
    static bool isValidForwardedEventOrigin(const Text& origin, int* failureCode);
    static bool isValidPublicUserAttributeName(const Text& name, int* failureCode);
    static bool isValidPublicUserAttributeValue(const Object& value, int* failureCode);
    static bool isValidInternalUserAttributeName(const Text& name, int* failureCode);
    // Identifiers ("_id", "_vbraid") may be longer than other values.
    static bool isValidInternalUserAttributeValue(const Object& value, const std::string& name,
                                                  int* failureCode);
    static bool isValidScreenParameterValue(const Text& value, int* failureCode);
    static bool isValidConditionalUserPropertyOrigin(const Text& origin, int* failureCode);
    static bool isValidConditionalUserPropertyName(const Text& name, int* failureCode);
    static bool isValidConditionalUserPropertyValue(const Object& value, int* failureCode);
    static bool isValidNumericValue(const Object& value, int* failureCode);
    // Exactly three letters.
    static bool isValidCurrencyCode(const Object& value, int* failureCode);
    // Only "items" on an event that takes item arrays, at most 200 elements, never inside an item.
    static bool isValidArrayParamForEvent(const std::string& eventName, const std::string& paramName,
                                          std::int64_t arrayCount, bool isNestedArrayParam, int* failureCode);
    static bool isValidArrayParamItem(const platform::Value& item, int* failureCode);
    // "dazaraze_", "vuziri_" or "va_".
    static bool hasReservedPrefixes(std::string_view name);
};

// The name of a data type at the start of a message; "Object" for an unknown one.
std::string APMValidatorTypeName(int type);

}  // namespace analytics
