#include <gtest/gtest.h>

#include "analytics/foundation/apm_data_type_validator.h"
#include "platform/foundation/console.h"
#include "tests/analytics/monitored_test.h"

using namespace analytics;
using platform::Console;
using V = APMDataTypeValidator;

namespace {

std::string repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// An internal name: "_" and then the pieces.
std::string underscored(const std::string& piece, int count) {
    std::string text = "_";
    text += repeat(piece, count);
    return text;
}

// U+1D49C, a letter outside the basic plane: one code point, four UTF-8 bytes.
const std::string kScriptA = "\xF0\x9D\x92\x9C";

APMValue text(const std::string& value) {
    return *APMValue::initWithString(value);
}

using Validator = quorvel::testing::MonitoredTest;

struct TextCase {
    const char* check;
    bool (*validate)(const V::Text&, int*);
    // Owned here: a check reads its text through a view.
    std::optional<std::string> input;
    int code;
};

struct ValueCase {
    const char* check;
    bool (*validate)(const V::Object&, int*);
    V::Object input;
    int code;
};

}  // namespace

TEST_F(Validator, NamesAndOrigins) {
    const TextCase cases[] = {
        {"public event", V::isValidPublicEventName, "level_up", V::kNoFailure},
        {"public event", V::isValidPublicEventName, repeat("a", 40), V::kNoFailure},
        {"public event", V::isValidPublicEventName, repeat("a", 41), V::kTooLong},
        {"public event", V::isValidPublicEventName, repeat(kScriptA, 40), V::kNoFailure},
        {"public event", V::isValidPublicEventName, repeat(kScriptA, 41), V::kTooLong},
        {"public event", V::isValidPublicEventName, "\xC3\xA9t\xC3\xA9_1", V::kNoFailure},
        {"public event", V::isValidPublicEventName, "1st_place", V::kInvalidCharacters},
        {"public event", V::isValidPublicEventName, "_s", V::kInvalidCharacters},
        {"public event", V::isValidPublicEventName, "bad-name", V::kInvalidCharacters},
        {"public event", V::isValidPublicEventName, "e\xCC\x81", V::kInvalidCharacters},  // combining mark
        {"public event", V::isValidPublicEventName, "smile\xF0\x9F\x98\x80", V::kInvalidCharacters},
        {"public event", V::isValidPublicEventName, "", V::kMissing},
        {"public event", V::isValidPublicEventName, std::nullopt, V::kMissing},
        {"public event", V::isValidPublicEventName, "name\xFF", V::kWrongType},
        {"public event", V::isValidPublicEventName, "screen_view", V::kNoFailure},
        {"public event", V::isValidPublicEventName, "ad_impression", V::kNoFailure},
        {"public event", V::isValidPublicEventName, "first_open", V::kReserved},
        {"public event", V::isValidPublicEventName, "dazaraze_x", V::kReserved},
        {"public event", V::isValidPublicEventName, "va_x", V::kReserved},
        {"public event", V::isValidPublicEventName, "VA_x", V::kNoFailure},
        {"internal event", V::isValidInternalEventName, "_s", V::kNoFailure},
        {"internal event", V::isValidInternalEventName, underscored("a", 40), V::kTooLong},
        {"public parameter", V::isValidPublicEventParameterName, "value", V::kNoFailure},
        {"public parameter", V::isValidPublicEventParameterName, "va_error", V::kReserved},
        {"public parameter", V::isValidPublicEventParameterName, repeat("p", 41), V::kTooLong},
        {"public property", V::isValidPublicUserAttributeName, repeat("u", 24), V::kNoFailure},
        {"public property", V::isValidPublicUserAttributeName, repeat("u", 25), V::kTooLong},
        {"public property", V::isValidPublicUserAttributeName, "user_id", V::kReserved},
        {"public property", V::isValidPublicUserAttributeName, "dazaraze_x", V::kReserved},
        {"internal property", V::isValidInternalUserAttributeName, "_id", V::kNoFailure},
        {"internal property", V::isValidInternalUserAttributeName, underscored("u", 24), V::kTooLong},
        {"origin", V::isValidInternalEventOrigin, repeat("o", 32), V::kNoFailure},
        {"origin", V::isValidInternalEventOrigin, repeat("o", 33), V::kTooLong},
        {"forwarded origin", V::isValidForwardedEventOrigin, "app+gtm", V::kNoFailure},
        {"forwarded origin", V::isValidForwardedEventOrigin, "app", V::kNotForwardedOrigin},
        {"forwarded origin", V::isValidForwardedEventOrigin, "", V::kMissing},
        {"forwarded origin", V::isValidForwardedEventOrigin, "+gtm", V::kMissing},
        {"forwarded origin", V::isValidForwardedEventOrigin, "a-b+gtm", V::kInvalidCharacters},
        {"forwarded origin", V::isValidForwardedEventOrigin, repeat("o", 33) + "+gtm", V::kTooLong},
        {"screen value", V::isValidScreenParameterValue, repeat("s", 100), V::kNoFailure},
        {"screen value", V::isValidScreenParameterValue, repeat("s", 101), V::kTooLong},
        {"screen value", V::isValidScreenParameterValue, "", V::kMissing},
        {"conditional origin", V::isValidConditionalUserPropertyOrigin, repeat("o", 33), V::kTooLong},
        {"conditional name", V::isValidConditionalUserPropertyName, repeat("n", 24), V::kNoFailure},
        {"conditional name", V::isValidConditionalUserPropertyName, repeat("n", 25), V::kTooLong},
    };
    for (const auto& c : cases) {
        int code = -1;
        EXPECT_EQ(c.validate(c.input, &code), c.code == V::kNoFailure)
            << c.check << " " << c.input.value_or("nil");
        EXPECT_EQ(code, c.code) << c.check << " " << c.input.value_or("nil");
    }
}

TEST_F(Validator, ValuesNumbersAndCurrencies) {
    const APMValue integer = APMValue::initWithInt64(5);
    const APMValue real = APMValue::initWithDouble(2.5);
    const APMValue array = APMValue::initWithArray(APMValue::Array{});
    const ValueCase cases[] = {
        {"public value", V::isValidPublicEventParameterValue, text(""), V::kNoFailure},
        {"public value", V::isValidPublicEventParameterValue, text(repeat("v", 100)), V::kNoFailure},
        {"public value", V::isValidPublicEventParameterValue, text(repeat("v", 101)), V::kTooLong},
        {"public value", V::isValidPublicEventParameterValue, integer, V::kNoFailure},
        {"public value", V::isValidPublicEventParameterValue, std::nullopt, V::kMissing},
        {"internal value", V::isValidInternalEventParameterValue, text(repeat("v", 256)), V::kNoFailure},
        {"internal value", V::isValidInternalEventParameterValue, text(repeat("v", 257)), V::kTooLong},
        {"property value", V::isValidPublicUserAttributeValue, text(""), V::kMissing},
        {"property value", V::isValidPublicUserAttributeValue, text(repeat(kScriptA, 36)), V::kNoFailure},
        {"property value", V::isValidPublicUserAttributeValue, text(repeat("v", 37)), V::kTooLong},
        {"property value", V::isValidPublicUserAttributeValue, text(repeat("v", 100)), V::kTooLong},
        {"conditional value", V::isValidConditionalUserPropertyValue, text(repeat("v", 37)), V::kTooLong},
        {"numeric", V::isValidNumericValue, integer, V::kNoFailure},
        {"numeric", V::isValidNumericValue, real, V::kNoFailure},
        {"numeric", V::isValidNumericValue, text("5"), V::kNotNumeric},
        {"numeric", V::isValidNumericValue, std::nullopt, V::kMissing},
        {"currency", V::isValidCurrencyCode, text("USD"), V::kNoFailure},
        {"currency", V::isValidCurrencyCode, text("eur"), V::kNoFailure},
        {"currency", V::isValidCurrencyCode, text("US"), V::kNotCurrencyCode},
        {"currency", V::isValidCurrencyCode, text("US1"), V::kNotCurrencyCode},
        // Three code points, but six UTF-16 units.
        {"currency", V::isValidCurrencyCode, text(repeat(kScriptA, 3)), V::kNotCurrencyCode},
        {"currency", V::isValidCurrencyCode, integer, V::kNotCurrencyCode},
    };
    for (const auto& c : cases) {
        int code = -1;
        const std::string shown = c.input ? c.input->description() : "nil";
        EXPECT_EQ(c.validate(c.input, &code), c.code == V::kNoFailure) << c.check << " " << shown;
        EXPECT_EQ(code, c.code) << c.check << " " << shown;
    }
}

TEST_F(Validator, IdentifierPropertiesMayBeLongerUnderTheInternalCheckOnly) {
    const APMValue hundred = text(repeat("v", 100));
    int code = -1;
    EXPECT_TRUE(V::isValidInternalUserAttributeValue(hundred, "_id", &code));
    EXPECT_TRUE(V::isValidInternalUserAttributeValue(hundred, "_vbraid", &code));
    EXPECT_FALSE(V::isValidInternalUserAttributeValue(hundred, "_ln", &code));
    EXPECT_EQ(code, V::kTooLong);
    EXPECT_FALSE(V::isValidInternalUserAttributeValue(text(repeat("v", 257)), "_id", &code));
}

TEST_F(Validator, ArrayParameters) {
    const struct {
        const char* event;
        const char* parameter;
        std::int64_t count;
        bool nested;
        int code;
    } cases[] = {
        {"purchase", "items", 200, false, V::kNoFailure},
        {"purchase", "items", 201, false, V::kTooManyArrayItems},
        {"view_search_results", "items", 0, false, V::kNoFailure},
        {"screen_view", "items", 1, false, V::kArrayOnEventWithoutItems},
        {"purchase", "products", 1, false, V::kArrayNotNamedItems},
        {"purchase", "items", 1, true, V::kNestedArray},
        // Nesting is refused before anything else.
        {"screen_view", "products", 500, true, V::kNestedArray},
    };
    for (const auto& c : cases) {
        int code = -1;
        EXPECT_EQ(V::isValidArrayParamForEvent(c.event, c.parameter, c.count, c.nested, &code), c.code == 0)
            << c.event << " " << c.parameter << " " << c.count;
        EXPECT_EQ(code, c.code) << c.event << " " << c.parameter << " " << c.count;
    }
    int code = -1;
    EXPECT_TRUE(V::isValidArrayParamItem(platform::Value::Dictionary{{"item_id", "1"}}, &code));
    EXPECT_FALSE(V::isValidArrayParamItem(platform::Value("item"), &code));
    EXPECT_EQ(code, V::kArrayItemNotDictionary);
}

TEST_F(Validator, LogsReasonsWithTheirTypeButNotAnEmptyValue) {
    clock->runUntilIdle();
    Console::Capture capture;
    V::isValidPublicEventName(repeat("a", 41), nullptr);
    V::isValidPublicEventName("first_open", nullptr);
    V::isValidArrayParamForEvent("purchase", "items", 201, false, nullptr);
    V::isValidPublicUserAttributeValue(text(""), nullptr);
    clock->runUntilIdle();
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("[I-ACS013000] Event name is too long. The maximum supported length is 40: " +
                            repeat("a", 41)),
              std::string::npos);
    EXPECT_NE(lines[1].find("[I-ACS013006] Event name is reserved. Ignoring event: first_open"),
              std::string::npos);
    EXPECT_NE(
        lines[2].find("[I-ACS013013] Array parameter has too many items. The maximum number of supported "
                      "items is 200. Invalid array size: 201"),
        std::string::npos);
}
