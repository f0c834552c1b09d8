#include <gtest/gtest.h>

#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/apmpb_flag_monitor.h"
#include "analytics/messages/nano_field_access.h"
#include "tests/analytics/messages/proto_test_data.h"

using proto_test::hex;

namespace {

struct Report {
    int level;
    int code;
    std::string message;
    std::string context;
};

class ProtoFlag : public ::testing::Test {
protected:
    void SetUp() override {
        APMPBFlagMonitor::setLogSink(
            [this](int level, int code, const std::string& message, const std::string& context) {
                reports.push_back({level, code, message, context});
            });
    }
    void TearDown() override { APMPBFlagMonitor::setLogSink({}); }

    std::vector<Report> reports;
};

}  // namespace

TEST_F(ProtoFlag, NumbersAndStringsGoToTheirFields) {
    auto integer = APMPBFlagMake(std::string("n"), NanoNumber::withInt(3));
    EXPECT_EQ(integer->protoBuffer(), hex("0a 01 6e 10 03"));
    auto real = APMPBFlagMake(std::string("n"), NanoNumber::withDouble(2.5));
    EXPECT_EQ(std::get<NanoNumber>(APMPBFlagValueObject(real.get())).doubleValue(), 2.5);
    auto string = APMPBFlagMake(std::string("n"), std::string("blue"));
    EXPECT_EQ(std::get<std::string>(APMPBFlagValueObject(string.get())), "blue");
    // A boolean is written as the integer 1.
    auto boolean = APMPBFlagMake(std::string("n"), NanoNumber::withBool(true));
    const auto value = std::get<NanoNumber>(APMPBFlagValueObject(boolean.get()));
    EXPECT_EQ(value.type(), NanoNumber::Type::Int64);
    EXPECT_EQ(value.longLongValue(), 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProtoFlag, DecodedFlagsReadTheFirstPresentValue) {
    // Integer before double before string before bool.
    auto both = APMPBFlag::initWithBuffer(hex("10 04 21 00 00 00 00 00 00 04 40"));
    EXPECT_EQ(std::get<NanoNumber>(APMPBFlagValueObject(both.get())).type(), NanoNumber::Type::Int64);
    auto doubleAndString = APMPBFlag::initWithBuffer(hex("1a 01 78 21 00 00 00 00 00 00 04 40"));
    EXPECT_EQ(std::get<NanoNumber>(APMPBFlagValueObject(doubleAndString.get())).doubleValue(), 2.5);
    auto onlyBool = APMPBFlag::initWithBuffer(hex("28 01"));
    const auto value = std::get<NanoNumber>(APMPBFlagValueObject(onlyBool.get()));
    EXPECT_EQ(value.type(), NanoNumber::Type::Bool);
    EXPECT_TRUE(value.boolValue());
    auto none = APMPBFlag::initWithBuffer(hex("0a 01 61"));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(APMPBFlagValueObject(none.get())));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(APMPBFlagValueObject(nullptr)));
}

TEST_F(ProtoFlag, RefusedInputIsReportedToTheMonitor) {
    EXPECT_EQ(APMPBFlagMake(std::monostate{}, NanoNumber::withInt(1)), nullptr);
    EXPECT_EQ(APMPBFlagMake(NanoNumber::withInt(1), NanoNumber::withInt(1)), nullptr);
    EXPECT_EQ(APMPBFlagMake(std::string("n"), std::monostate{}), nullptr);
    EXPECT_EQ(APMPBFlagMake(std::string("n"), NanoData{1}), nullptr);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].level, 1);
    EXPECT_EQ(reports[0].code, 850000);
    EXPECT_EQ(reports[0].message, "Flag name must not be nil");
    EXPECT_EQ(reports[1].code, 850001);
    EXPECT_EQ(reports[1].message, "Flag name must be a string");
    EXPECT_EQ(reports[1].context, "NanoNumber");
    EXPECT_EQ(reports[2].code, 850002);
    EXPECT_EQ(reports[2].message, "Flag value is invalid");
    EXPECT_EQ(reports[2].context, "nil");
    EXPECT_EQ(reports[3].context, "Data");
}
