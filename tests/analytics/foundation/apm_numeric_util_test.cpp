#include <gtest/gtest.h>

#include "analytics/foundation/apm_numeric_util.h"
#include "tests/analytics/monitored_test.h"

using namespace analytics;

namespace {

using NumericUtil = quorvel::testing::MonitoredTest;

}  // namespace

TEST_F(NumericUtil, DecimalStrings) {
    for (const char* text : {"12", "-3.", ".5", "+0.25", "007", "0.0"})
        EXPECT_TRUE(APMIsDecimalNumberString(text)) << text;
    for (const char* text : {"1e5", "1,000", " 1", "1 ", ".", "", "+", "-.", "1.2.3", "0x1F", "١٢"})
        EXPECT_FALSE(APMIsDecimalNumberString(text)) << text;
}

TEST_F(NumericUtil, ConversionKeepsEveryDigit) {
    const std::string digits38(38, '7');
    const struct {
        std::string text;
        std::optional<std::string> number;
    } cases[] = {
        {"1.50", "1.5"},
        {"-.5", "-0.5"},
        {".5", "0.5"},
        {"+0.25", "0.25"},
        {"-3.", "-3"},
        {"0012", "12"},
        {"1200", "1200"},
        {"-0.000", "0"},
        {"0.00012", "0.00012"},
        {digits38, digits38},
        {digits38 + "00", digits38 + "00"},
        {"0." + digits38, "0." + digits38},
        {digits38 + "1", std::nullopt},               // more digits than the type holds
        {"0." + digits38 + "4", std::nullopt},        // a rounded text would hide the lost digit
        {"1" + std::string(200, '0'), std::nullopt},  // a power too high to hold
        {"abc", std::nullopt},
        {"1e5", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto number = APMDecimalNumberFromString(c.text);
        EXPECT_EQ(number ? std::optional(number->stringValue()) : std::nullopt, c.number) << c.text;
    }
    EXPECT_EQ(APMDecimalNumberFromString("-2.5")->negated().stringValue(), "2.5");
}

TEST_F(NumericUtil, RandomIntegersDiffer) {
    EXPECT_NE(APMNumericUtil::randomInt64(), APMNumericUtil::randomInt64());
}
