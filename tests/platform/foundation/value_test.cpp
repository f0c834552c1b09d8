#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/foundation/value.h"

using namespace platform;
using Kind = Value::Kind;

TEST(ValueKinds, ConstructorsPickTheKindOfTheirArgument) {
    // The overloads that could silently fall to bool or to the wrong integer.
    EXPECT_EQ(Value(nullptr).kind(), Kind::Null);
    EXPECT_EQ(Value(5).kind(), Kind::Int);
    EXPECT_EQ(Value(5L).kind(), Kind::Int);
    EXPECT_EQ(Value(short{5}).kind(), Kind::Int);
    EXPECT_EQ(Value(5u).kind(), Kind::UInt);
    EXPECT_EQ(Value(1.5f).kind(), Kind::Double);
    EXPECT_EQ(Value("text").kind(), Kind::String);
    EXPECT_EQ(Value(std::string_view("text")).kind(), Kind::String);
}

TEST(ValueAccessors, AWrongKindAnswersNothing) {
    EXPECT_FALSE(Value(1).boolValue());
    EXPECT_FALSE(Value(true).intValue());
    EXPECT_FALSE(Value("1").intValue());
    EXPECT_FALSE(Value(1).doubleValue());
    EXPECT_FALSE(Value(true).numberValue());
    EXPECT_EQ(Value(1).stringValue(), nullptr);
    EXPECT_EQ(Value(Value::Dictionary{}).arrayValue(), nullptr);

    EXPECT_EQ(Value(3).numberValue(), 3.0);
    EXPECT_EQ(Value(3u).numberValue(), 3.0);
    EXPECT_EQ(Value(2.5).numberValue(), 2.5);
}

TEST(ValueAccessors, IntAndUIntAnswerWhenTheNumberFits) {
    EXPECT_EQ(Value(7u).intValue(), 7);
    EXPECT_EQ(Value(7).uintValue(), 7u);
    EXPECT_FALSE(Value(-1).uintValue());
    EXPECT_FALSE(Value(std::numeric_limits<std::uint64_t>::max()).intValue());
}

TEST(ValueEquality, IntegersCompareByNumberAcrossSignedness) {
    EXPECT_EQ(Value(5), Value(5u));
    EXPECT_NE(Value(-1), Value(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_NE(Value(std::numeric_limits<std::int64_t>::min()), Value(std::uint64_t{1} << 63));
}

TEST(ValueEquality, BooleansIntegersAndDoublesStayApart) {
    EXPECT_NE(Value(true), Value(1));
    EXPECT_NE(Value(false), Value(0u));
    EXPECT_NE(Value(1), Value(1.0));
    EXPECT_NE(Value("1"), Value(1));
    EXPECT_NE(Value(), Value(0));
}

TEST(ValueEquality, NaNEqualsNaNAndSignedZerosAreEqual) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Value(nan), Value(-nan));
    EXPECT_EQ(Value(0.0), Value(-0.0));
    EXPECT_NE(Value(nan), Value(0.0));
    EXPECT_EQ(Value(Value::Array{nan, Value::Dictionary{{"x", nan}}}),
              Value(Value::Array{nan, Value::Dictionary{{"x", nan}}}));
    EXPECT_EQ(Value(NSDate(nan)), Value(NSDate(nan)));
}

TEST(ValueEquality, ContainersCompareItemByItem) {
    EXPECT_EQ(Value(Value::Array{1, "a"}), Value(Value::Array{1u, "a"}));
    EXPECT_NE(Value(Value::Array{1, "a"}), Value(Value::Array{"a", 1}));
    EXPECT_NE(Value(Value::Data{}), Value(Value::Array{}));
}
