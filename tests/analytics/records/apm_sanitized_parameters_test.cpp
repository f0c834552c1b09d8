#include <gtest/gtest.h>

#include <cstdio>

#include "analytics/records/apm_parameter_limits.h"
#include "analytics/records/apm_sanitized_parameters.h"
#include "tests/analytics/records/records_test_support.h"

using namespace analytics;
using namespace records_test;
using platform::Value;

namespace {

class ParameterRules : public RecordsTest {
protected:
    APMValue::Parameters sanitized(const Value::Dictionary& parameters, const std::string& eventName = "level_up",
                                   bool isPublic = true,
                                   std::int32_t maxPublicParameters = kAPMDefaultMaxPublicEventParams) {
        auto result = APMSanitizedParameters(APMObjectParametersFrom(parameters), eventName, isPublic, false,
                                             maxPublicParameters);
        EXPECT_TRUE(result.has_value());
        return result.value_or(APMValue::Parameters{});
    }
};

Value::Dictionary numbered(int count) {
    Value::Dictionary parameters;
    for (int i = 1; i <= count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d", i);
        parameters.emplace(name, i);
    }
    return parameters;
}

Value::Array items(int count) {
    Value::Array elements;
    for (int i = 0; i < count; ++i) elements.emplace_back(Value::Dictionary{{"item_id", "sku" + std::to_string(i)}});
    return elements;
}

}  // namespace

TEST_F(ParameterRules, PublicParametersBeyondTheLimitAreCutFromTheEndOfTheSortedNames) {
    // Under the internal rules, which let an internal name in; it is neither counted nor dropped.
    auto parameters = numbered(27);
    parameters.emplace("_internal", 1);
    const auto result = sanitized(parameters, "_e", false);
    EXPECT_FALSE(result.contains("p26"));
    EXPECT_FALSE(result.contains("p27"));
    EXPECT_EQ(parameter(result, "p25"), integer(25));
    EXPECT_EQ(parameter(result, "_internal"), integer(1));
    EXPECT_EQ(parameter(result, "_err"), integer(5));
    EXPECT_EQ(result.size(), 27u);  // 25 public, the internal one and "_err"

    // The active configuration decides the limit once the library runs.
    EXPECT_EQ(sanitized(numbered(27), "level_up", true, 30).size(), 27u);
}

TEST_F(ParameterRules, ItemArraysAreCheckedByEventAndNameAndCutTo200) {
    auto purchase = sanitized({{"items", items(250)}}, "purchase");
    ASSERT_TRUE(parameter(purchase, "items") && purchase.at("items").isArray());
    EXPECT_EQ(purchase.at("items").arrayValue()->size(), 200u);
    EXPECT_EQ(parameter(purchase, "_err"), integer(17));
    EXPECT_EQ(parameter(purchase, "_ev"), text("items"));

    const auto screenView = sanitized({{"items", items(2)}}, "screen_view");
    EXPECT_FALSE(screenView.contains("items"));
    EXPECT_EQ(parameter(screenView, "_err"), integer(21));
    EXPECT_EQ(parameter(screenView, "_ev"), text("screen_view"));

    const auto products = sanitized({{"products", items(2)}}, "purchase");
    EXPECT_FALSE(products.contains("products"));
    EXPECT_EQ(parameter(products, "_err"), integer(20));
    EXPECT_EQ(parameter(products, "_ev"), text("products"));
}

TEST_F(ParameterRules, BadItemsAreReportedWhereTheyAre) {
    Value::Array elements = items(5);
    elements[3] = "not a dictionary";
    elements[1] = Value::Dictionary{{"item_id", "sku1"}, {"colour", "red"}};
    elements[4] = Value::Dictionary{{"item_id", "sku4"}, {"nested", items(1)}};
    const auto result = sanitized({{"items", elements}}, "purchase");

    // The event hears of the element that is no dictionary, by its place.
    EXPECT_EQ(parameter(result, "_err"), integer(4));
    EXPECT_EQ(parameter(result, "_ev"), text("items[3]"));
    const auto& kept = *result.at("items").arrayValue();
    ASSERT_EQ(kept.size(), 4u);
    // A custom parameter leaves its item, which carries the error itself; so does a nested array.
    EXPECT_FALSE(kept[1].contains("colour"));
    EXPECT_EQ(parameter(kept[1], "_err"), integer(23));
    EXPECT_EQ(parameter(kept[1], "item_id"), text("sku1"));
    EXPECT_FALSE(kept[3].contains("nested"));
    EXPECT_EQ(parameter(kept[3], "_err"), integer(22));
    EXPECT_EQ(parameter(kept[3], "_ev"), text("nested"));
    EXPECT_FALSE(kept[0].contains("_err"));
}

TEST_F(ParameterRules, RefusedNamesAndValuesLeaveTheirError) {
    // The only parameter refused: the error entries are all that is left.
    const APMValue::Parameters onlyBadName{{"_err", integer(3)}, {"_ev", text("1st")}};
    EXPECT_EQ(sanitized({{"1st", 1}}), onlyBadName);

    const std::string longName = repeat("n", 50);
    const auto tooLong = sanitized({{longName, 1}, {"kept", 2}});
    EXPECT_EQ(parameter(tooLong, "_err"), integer(3));
    EXPECT_EQ(parameter(tooLong, "_ev"), text(repeat("n", 40) + "..."));
    EXPECT_EQ(parameter(tooLong, "_el"), integer(50));
    EXPECT_EQ(parameter(tooLong, "kept"), integer(2));

    const auto reserved = sanitized({{"va_source", "x"}});
    EXPECT_EQ(parameter(reserved, "_err"), integer(14));
    EXPECT_EQ(parameter(reserved, "_ev"), text("va_source"));

    // Public rules allow 100 characters, internal ones 256; a longer string is dropped and its length
    // recorded.
    const auto longPublicValue = sanitized({{"note", repeat("v", 101)}, {"kept", repeat("v", 100)}});
    EXPECT_FALSE(longPublicValue.contains("note"));
    EXPECT_EQ(parameter(longPublicValue, "_err"), integer(4));
    EXPECT_EQ(parameter(longPublicValue, "_el"), integer(101));
    EXPECT_EQ(parameter(longPublicValue, "kept"), text(repeat("v", 100)));

    const auto longValue = sanitized({{"_note", repeat("\xC3\xA9", 300)}}, "_e", false);
    EXPECT_FALSE(longValue.contains("_note"));
    EXPECT_EQ(parameter(longValue, "_err"), integer(4));
    EXPECT_EQ(parameter(longValue, "_ev"), text("_note"));
    EXPECT_EQ(parameter(longValue, "_el"), integer(300));

    // Neither a string, a number nor an array.
    const auto bytes = sanitized({{"blob", Value::Data{1, 2}}, {"kept", 1}});
    EXPECT_FALSE(bytes.contains("blob"));
    EXPECT_EQ(parameter(bytes, "kept"), integer(1));
}

TEST_F(ParameterRules, TheFirstErrorRecordedStays) {
    // "1st" sorts before "va_x": its error is recorded first and the reserved name adds none.
    const auto result = sanitized({{"1st", 1}, {"va_x", 2}, {"long", repeat("x", 101)}});
    EXPECT_EQ(parameter(result, "_err"), integer(3));
    EXPECT_EQ(parameter(result, "_ev"), text("1st"));
    EXPECT_EQ(result.size(), 2u);
}

TEST_F(ParameterRules, IncomingErrorValuesAreTrimmedOnce) {
    const std::string trimmedAlready = repeat("e", 256) + "...";
    EXPECT_EQ(parameter(sanitized({{"_ev", trimmedAlready}}, "_e", false), "_ev"), text(trimmedAlready));

    const auto trimmed = sanitized({{"_ev", repeat("e", 300)}}, "_e", false);
    EXPECT_EQ(parameter(trimmed, "_ev"), text(repeat("e", 256) + "..."));
    EXPECT_EQ(parameter(trimmed, "_el"), integer(300));
}

TEST_F(ParameterRules, ValuesNeedNumbersAndCurrencies) {
    APMValue::Parameters noCurrency{{"value", integer(5)}};
    EXPECT_FALSE(APMValidateValueAndCurrency(noCurrency));
    EXPECT_EQ(noCurrency, (APMValue::Parameters{{"_err", integer(19)}, {"_ev", text("currency")}}));

    APMValue::Parameters notNumeric{{"value", text("5")}, {"currency", text("EUR")}};
    EXPECT_FALSE(APMValidateValueAndCurrency(notNumeric));
    EXPECT_EQ(parameter(notNumeric, "_err"), integer(18));
    EXPECT_EQ(parameter(notNumeric, "_ev"), text("value"));
    EXPECT_FALSE(notNumeric.contains("value"));

    APMValue::Parameters valid{{"value", APMValue::initWithDouble(9.5)}, {"currency", text("eur")}};
    EXPECT_TRUE(APMValidateValueAndCurrency(valid));
    EXPECT_EQ(valid.size(), 2u);
}

TEST_F(ParameterRules, TypedValuesAreKeptAsTheyAre) {
    APMObjectParameters parameters{{"typed", text(repeat("t", 150))}, {"plain", Value(2.5)}};
    const auto result = APMSanitizedParameters(parameters, "_e", false, false);
    ASSERT_TRUE(result);
    EXPECT_EQ(parameter(*result, "typed"), text(repeat("t", 150)));
    EXPECT_EQ(parameter(*result, "plain"), APMValue::initWithDouble(2.5));
    EXPECT_FALSE(APMSanitizedParameters({}, "_e", false, false).has_value());
}
