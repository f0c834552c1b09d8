#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <unordered_set>

#include "analytics/foundation/apm_value.h"
#include "platform/foundation/console.h"
#include "tests/analytics/monitored_test.h"

using namespace analytics;
using platform::Value;

namespace {

using TypedValues = quorvel::testing::MonitoredTest;

APMValue stringValue(const std::string& text) {
    return *APMValue::initWithString(text);
}

}  // namespace

TEST_F(TypedValues, PlainObjectsBecomeTheirKind) {
    const struct {
        const char* label;
        Value object;
        bool allowArray;
        std::optional<APMValue> expected;
    } cases[] = {
        {"true", Value(true), false, APMValue::initWithInt64(1)},
        {"2.5", Value(2.5), false, APMValue::initWithDouble(2.5)},
        {"-7", Value(-7), false, APMValue::initWithInt64(-7)},
        {"huge unsigned", Value(std::numeric_limits<std::uint64_t>::max()), false,
         APMValue::initWithInt64(std::numeric_limits<std::int64_t>::max())},
        {"text", Value("text"), false, stringValue("text")},
        {"array", Value(Value::Array{}), false, std::nullopt},
        {"array allowed", Value(Value::Array{}), true, APMValue::initWithArray(APMValue::Array{})},
        {"dictionary", Value(Value::Dictionary{}), true, std::nullopt},
        {"nil", Value(), true, std::nullopt},
        {"not UTF-8", Value("a\xFF"), false, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto value = APMValue::valueFromObject(c.object, c.allowArray);
        EXPECT_EQ(value, c.expected) << c.label;
    }
}

TEST_F(TypedValues, AnArrayKeepsItsDictionaryElementsAsValues) {
    const Value items(
        Value::Array{Value::Dictionary{{"item_id", "a1"}, {"price", 2.5}, {"when", platform::NSDate(0)}},
                     Value("not an item")});
    const auto value = APMValue::valueFromObject(items, true);
    ASSERT_TRUE(value && value->isArray());
    ASSERT_EQ(value->arrayValue()->size(), 1u);
    const APMValue::Parameters expected{{"item_id", stringValue("a1")}, {"price", APMValue::initWithDouble(2.5)}};
    EXPECT_EQ(value->arrayValue()->front(), expected);
}

TEST_F(TypedValues, AccessorsDoNotConvert) {
    const APMValue integer = APMValue::initWithInt64(3);
    const APMValue real = APMValue::initWithDouble(2.5);
    EXPECT_EQ(integer.doubleValue(), 0.0);
    EXPECT_EQ(real.int64Value(), 0);
    EXPECT_EQ(real.stringValue(), nullptr);
    EXPECT_EQ(integer.arrayValue(), nullptr);
    EXPECT_EQ(integer.valueType(), APMValue::kInt64);
    EXPECT_EQ(real.description(), "2.5");
}

TEST_F(TypedValues, EqualityAndHashingAgree) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const APMValue item = APMValue::initWithArray(APMValue::Array{{{"a", stringValue("x")}}});
    const struct {
        const char* label;
        APMValue a;
        APMValue b;
        bool equal;
    } cases[] = {
        {"double 1.0 and integer 1", APMValue::initWithDouble(1.0), APMValue::initWithInt64(1), false},
        {"equal strings", stringValue("level"), stringValue("level"), true},
        {"different strings", stringValue("a"), stringValue("b"), false},
        {"string and number", stringValue("1"), APMValue::initWithInt64(1), false},
        {"signed zeros", APMValue::initWithDouble(0.0), APMValue::initWithDouble(-0.0), true},
        {"not a number", APMValue::initWithDouble(nan), APMValue::initWithDouble(nan), true},
        {"equal arrays", item, APMValue::initWithArray(APMValue::Array{{{"a", stringValue("x")}}}), true},
        {"arrays with other items", item, APMValue::initWithArray(APMValue::Array{{{"a", stringValue("y")}}}),
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.label;
        if (c.equal) {
            EXPECT_EQ(c.a.hash(), c.b.hash()) << c.label;
        }
    }
    const std::unordered_set<APMValue> set{stringValue("a"), stringValue("a"), APMValue::initWithDouble(nan),
                                           APMValue::initWithDouble(nan)};
    EXPECT_EQ(set.size(), 2u);
}

TEST_F(TypedValues, RefusalsAreLoggedWithTheirCodes) {
    clock->runUntilIdle();
    platform::Console::Capture capture;
    APMValue::valueFromObject(Value());
    APMValue::valueFromObject(Value(Value::Array{}));
    APMValue::initWithString(Value());
    APMValue::initWithString(Value(1));
    APMValue::initWithArray(Value());
    APMValue::initWithArray(Value("x"));
    clock->runUntilIdle();
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 6u);
    const char* codes[] = {"035000", "035001", "035002", "035003", "035004", "035005"};
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(codes[i]), std::string::npos) << lines[i];
    EXPECT_NE(lines[1].find("NSArray"), std::string::npos);
}

// Parameters are kept in one sorted array: whatever the order and hints of the changes, they must hold
// what an ordered map holds, in its order.
TEST_F(TypedValues, ParametersHoldWhatAnOrderedMapHoldsHoweverTheyAreChanged) {
    std::mt19937 random(7);
    const std::vector<std::string> names{"_o", "_err", "_ev", "a", "ab", "b", "item_id", "value", "z"};
    APMValue::Parameters parameters;
    std::map<std::string, APMValue> expected;
    for (int step = 0; step < 2000; ++step) {
        const std::string& name = names[random() % names.size()];
        const APMValue value = APMValue::initWithInt64(step);
        switch (random() % 5) {
            case 0:
                parameters.try_emplace(name, value);
                expected.try_emplace(name, value);
                break;
            case 1:
                parameters.insert_or_assign(name, value);
                expected.insert_or_assign(name, value);
                break;
            case 2: {
                // Any place as the hint, fitting or not.
                auto hint = parameters.begin();
                std::advance(hint, static_cast<long>(random() % (parameters.size() + 1)));
                parameters.insert_or_assign(hint, name, value);
                expected.insert_or_assign(name, value);
                break;
            }
            case 3:
                EXPECT_EQ(parameters.erase(name), expected.erase(name)) << name;
                break;
            default:
                EXPECT_EQ(parameters.contains(name), expected.contains(name)) << name;
        }
        ASSERT_TRUE(std::equal(parameters.begin(), parameters.end(), expected.begin(), expected.end(),
                               [](const auto& a, const auto& b) { return a.first == b.first && a.second == b.second; }))
            << "after step " << step;
    }
}
