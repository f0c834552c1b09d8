#include <gtest/gtest.h>

#include <cstdlib>

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_name_maps.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/ns_process_info.h"
#include "tests/analytics/monitored_test.h"

using namespace analytics;

namespace {

class NameTables : public quorvel::testing::MonitoredTest {
protected:
    void SetUp() override {
        ::unsetenv("QUORVEL_STORE_INSTALLATION");
        platform::NSProcessInfo::processInfo().setArguments({"quorvel"});
        APMMeasurement::monitor()->setDebugModeEnabled(false);
        APMSetPublicInterfaceClassPresent(false);
    }

    // Debug output spells internal names out while the public interface class is loaded.
    void enterDebugMode() {
        APMMeasurement::monitor()->setDebugModeEnabled(true);
        APMSetPublicInterfaceClassPresent(true);
    }
};

APMValue string(const std::string& text) {
    return *APMValue::initWithString(text);
}

}  // namespace

TEST_F(NameTables, EventNamesAnswerBothWays) {
    const auto& toInternal = APMPublicToInternalEventNames();
    const auto& toPublic = APMInternalToPublicEventNames();
    EXPECT_EQ(toInternal.size(), 33u);
    EXPECT_EQ(toPublic.size(), 32u);
    for (const auto& [publicName, internalName] : toInternal) {
        EXPECT_EQ(toInternal.at(toPublic.at(internalName)), internalName) << publicName;
    }
    EXPECT_EQ(toPublic.at("_vs"), "screen_view");
    EXPECT_EQ(toPublic.at("_cmp"), "va_campaign");
    EXPECT_FALSE(toInternal.contains("level_up"));
    EXPECT_EQ(APMAdImpressionEventNames().at("ad_impression"), "_ai");
    EXPECT_EQ(APMErrorCodeNames().size(), 24u);
    EXPECT_EQ(APMErrorCodeNames().at(23), "CustomParamsInArrayElement");
}

TEST_F(NameTables, NameTests) {
    EXPECT_TRUE(APMIsPublicName("level_up"));
    EXPECT_FALSE(APMIsPublicName("_s"));
    EXPECT_FALSE(APMIsPublicName(""));
    EXPECT_FALSE(APMIsErrorEvent(""));
    EXPECT_TRUE(APMEventAcceptsItems("view_search_results"));
    EXPECT_FALSE(APMEventAcceptsItems("screen_view"));
}

TEST_F(NameTables, SubscriptionsItemsAndScreenParameters) {
    EXPECT_TRUE(APMIsSubscriptionEvent("_assr", {}));
    EXPECT_TRUE(APMIsSubscriptionEvent("_iap", {{"subscription", APMValue::initWithInt64(1)}}));
    EXPECT_FALSE(APMIsSubscriptionEvent("_iap", {{"subscription", APMValue::initWithInt64(0)}}));
    EXPECT_FALSE(APMIsSubscriptionEvent("_iap", {{"subscription", APMValue::initWithDouble(1)}}));

    const APMValue::Parameters items{
        {"items", APMValue::initWithArray(APMValue::Array(3))},
        {"more", APMValue::initWithArray(APMValue::Array(2))},
        {"value", APMValue::initWithInt64(9)},
    };
    EXPECT_EQ(APMEventItemCount(&items), 5);
    EXPECT_EQ(APMEventItemCount(nullptr), 0);

    const APMValue::Parameters screen{
        {"_sn", string("Home")}, {"_si", APMValue::initWithInt64(4)}, {"x", string("y")}};
    EXPECT_TRUE(APMHasScreenParameters(screen));
    EXPECT_EQ(APMScreenParameters(screen).size(), 2u);
    EXPECT_FALSE(APMHasScreenParameters(APMValue::Parameters{{"x", string("y")}}));
}

TEST_F(NameTables, LogNamesSpellInternalNamesOutOnlyInDebugMode) {
    EXPECT_EQ(APMLoggableEventName("_vs"), "_vs");
    enterDebugMode();
    const struct {
        std::string (*loggable)(const std::string&);
        const char* name;
        const char* expected;
    } cases[] = {
        {APMLoggableEventName, "_vs", "screen_view (_vs)"},
        {APMLoggableEventName, "_cmp", "va_campaign (_cmp)"},
        {APMLoggableEventName, "level_up", "level_up"},
        {APMLoggableEventName, "_unknown", "_unknown"},
        {APMLoggableParameterName, "_sn", "va_screen (_sn)"},
        {APMLoggableParameterName, "_et", "engagement_time_msec (_et)"},
        {APMLoggableUserPropertyName, "_id", "user_id (_id)"},
        {APMLoggableUserPropertyName, "_exp_12", "experiment_id (_exp_12)"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.loggable(c.name), c.expected) << c.name;
    APMSetPublicInterfaceClassPresent(false);
    EXPECT_EQ(APMLoggableEventName("_vs"), "_vs");
    EXPECT_EQ(APMLoggableUserPropertyName("_exp_12"), "experiment_id (_exp_12)");
}

TEST_F(NameTables, LoggableParametersAreSortedLinesWithErrorNames) {
    const APMValue::Parameters parameters{
        {"_o", string("app")}, {"_err", APMValue::initWithInt64(5)}, {"_el", APMValue::initWithInt64(99)}};
    EXPECT_EQ(APMLoggableParameters(parameters), "{\n    _el = 99;\n    _err = 5;\n    _o = app;\n}");
    enterDebugMode();
    EXPECT_EQ(APMLoggableParameters(parameters),
              "{\n"
              "    va_error (_err) = ParameterLimitReached (5);\n"
              "    va_error_length (_el) = 99;\n"
              "    va_event_origin (_o) = app;\n"
              "}");
    EXPECT_EQ(APMParameterNameAliases().size(), 54u);
    EXPECT_EQ(APMUserPropertyNameMap().size(), 10u);
}
