#include <gtest/gtest.h>

#include <algorithm>

#include "analytics/storage/apm_conditional_user_property_controller.h"
#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using quorvel::testing::describe;
using quorvel::testing::runOnOwnConnection;

namespace {

class ConditionalProperties : public quorvel::testing::OpenMeasurementDatabaseTest {
protected:
    void SetUp() override {
        OpenMeasurementDatabaseTest::SetUp();
        controller = APMConditionalUserPropertyController::initWithDatabase(database);
    }

    // Waits for `trigger` from now on for `timeout` seconds, then lives `timeToLive` seconds.
    APMConditionalUserProperty property(const std::string& name, const std::string& trigger = "purchase",
                                        double timeout = 60, double timeToLive = 10,
                                        const std::string& origin = "app") {
        auto property = APMConditionalUserProperty::init();
        property.setName(name);
        property.setOrigin(origin);
        property.setValue(APMValue::initWithString(std::string("gold")));
        property.setTriggerEventName(trigger);
        property.setTriggerTimeout(timeout);
        property.setTimeToLive(timeToLive);
        property.setCreationTimestamp(now());
        return property;
    }

    void store(const APMConditionalUserProperty& property) {
        ASSERT_TRUE(database->updateConditionalUserProperty(property, &error)) << describe(error);
    }

    static std::vector<std::string> names(
        const std::optional<std::vector<APMConditionalUserProperty>>& found) {
        std::vector<std::string> result;
        for (const auto& property : found.value()) result.push_back(property.name());
        std::sort(result.begin(), result.end());
        return result;
    }

    std::shared_ptr<APMConditionalUserPropertyController> controller;
};

}  // namespace

TEST_F(ConditionalProperties, EveryFieldAndEventRoundTrips) {
    auto written = property("plan");
    written.setValue(APMValue::initWithDouble(2.5));
    written.setTriggeredEvent(event("plan_set", {{"level", 3}}));
    written.setExpiredEvent(event("plan_expired"));
    written.setActive(true);
    written.setTriggeredTimestamp(1700000050.5);
    store(written);

    const auto read = database->conditionalUserPropertyWithName("plan", &error);
    ASSERT_TRUE(read) << describe(error);
    EXPECT_EQ(read->origin(), "app");
    EXPECT_EQ(read->value(), APMValue::initWithDouble(2.5));
    EXPECT_EQ(read->triggerEventName(), "purchase");
    EXPECT_EQ(read->triggerTimeout(), 60);
    EXPECT_EQ(read->timeToLive(), 10);
    EXPECT_EQ(read->creationTimestamp(), now());
    EXPECT_EQ(read->triggeredTimestamp(), 1700000050.5);
    EXPECT_TRUE(read->isActive());
    ASSERT_TRUE(read->triggeredEvent());
    EXPECT_EQ(read->triggeredEvent()->name(), "plan_set");
    EXPECT_EQ(read->triggeredEvent()->parameters().at("level"), APMValue::initWithInt64(3));
    EXPECT_EQ(read->expiredEvent()->name(), "plan_expired");
    EXPECT_FALSE(read->timedOutEvent());

    // Without a trigger event the column stays NULL and reads as none.
    store(property("plain", ""));
    EXPECT_EQ(database->conditionalUserPropertyWithName("plain", &error)->triggerEventName(), "");
}

TEST_F(ConditionalProperties, ATriggerCountsUpToItsTimeoutAndTimesOutASecondLater) {
    store(property("plan"));
    clock->advance(60);
    EXPECT_EQ(names(database->triggeredConditionalUserPropertiesWithEventName("purchase", &error)),
              std::vector<std::string>{"plan"});
    EXPECT_TRUE(database->triggeredConditionalUserPropertiesWithEventName("share", &error)->empty());
    EXPECT_TRUE(database->timedOutConditionalUserPropertiesWithError(&error)->empty());

    clock->advance(1);
    EXPECT_TRUE(database->triggeredConditionalUserPropertiesWithEventName("purchase", &error)->empty());
    EXPECT_EQ(names(database->timedOutConditionalUserPropertiesWithError(&error)),
              std::vector<std::string>{"plan"});
}

TEST_F(ConditionalProperties, AnActivePropertyExpiresAfterItsTimeToLive) {
    auto active = property("plan");
    active.setActive(true);
    active.setTriggeredTimestamp(now());
    store(active);
    clock->advance(10);
    EXPECT_TRUE(database->expiredConditionalUserPropertiesWithError(&error)->empty());
    clock->advance(1);
    EXPECT_EQ(names(database->expiredConditionalUserPropertiesWithError(&error)),
              std::vector<std::string>{"plan"});
    // An active one is never timed out, however long ago it was made.
    EXPECT_TRUE(database->timedOutConditionalUserPropertiesWithError(&error)->empty());
}

TEST_F(ConditionalProperties, PrefixAndOriginMatchLiterally) {
    store(property("user_level"));
    store(property("userXlevel"));
    store(property("user%"));
    store(property("user%s"));
    store(property("score", "purchase", 60, 10, "auto"));

    EXPECT_EQ(names(database->conditionalUserPropertiesWithPrefix("", "", &error)).size(), 5u);
    EXPECT_EQ(names(database->conditionalUserPropertiesWithPrefix("user_", "", &error)),
              std::vector<std::string>{"user_level"});
    EXPECT_EQ(names(database->conditionalUserPropertiesWithPrefix("user%", "app", &error)),
              (std::vector<std::string>{"user%", "user%s"}));
    EXPECT_EQ(names(database->conditionalUserPropertiesWithPrefix("", "a_to", &error)),
              std::vector<std::string>{});
    EXPECT_EQ(names(database->conditionalUserPropertiesWithPrefix("", "auto", &error)),
              std::vector<std::string>{"score"});
}

TEST_F(ConditionalProperties, OneUnreadableRowDoesNotHideTheOthers) {
    store(property("good"));
    ASSERT_TRUE(runOnOwnConnection(path, "INSERT INTO conditional_properties VALUES ('broken', 'app', 'x', " +
                                             std::to_string(now()) +
                                             ", 0, 60, 0, 10, 'purchase', NULL, x'ffff', NULL)"));
    EXPECT_EQ(names(database->triggeredConditionalUserPropertiesWithEventName("purchase", &error)),
              std::vector<std::string>{"good"});
    EXPECT_TRUE(logged("12060"));
    EXPECT_FALSE(database->conditionalUserPropertyWithName("broken", &error));
    EXPECT_EQ(describe(error), "Failed to initialize data types from dictionaries");
}

TEST_F(ConditionalProperties, TheControllerSetsTheUserPropertyWhileThePropertyIsActive) {
    ASSERT_TRUE(controller->setConditionalUserProperty(property("plan"), &error)) << describe(error);
    EXPECT_FALSE(database->userAttributeWithName("plan", &error));

    clock->advance(30);
    const auto triggered = controller->triggerConditionalUserPropertiesWithEventName("purchase", &error);
    ASSERT_TRUE(triggered && triggered->size() == 1u) << describe(error);
    EXPECT_TRUE(triggered->front().isActive());
    const auto attribute = database->userAttributeWithName("plan", &error);
    ASSERT_TRUE(attribute) << describe(error);
    EXPECT_EQ(attribute->value(), *APMValue::initWithString(std::string("gold")));
    EXPECT_EQ(attribute->lastSetTimestamp(), now());
    // Once active it waits for no further trigger.
    EXPECT_TRUE(controller->triggerConditionalUserPropertiesWithEventName("purchase", &error)->empty());

    clock->advance(11);
    EXPECT_EQ(names(controller->removeExpiredConditionalUserProperties(&error)),
              std::vector<std::string>{"plan"});
    EXPECT_FALSE(database->userAttributeWithName("plan", &error));
    EXPECT_FALSE(controller->conditionalUserPropertyWithName("plan", &error));
}

TEST_F(ConditionalProperties, TheControllerRemovesTimedOutPropertiesAndClearsByName) {
    ASSERT_TRUE(controller->setConditionalUserProperty(property("late"), &error));
    auto active = property("now", "");
    active.setActive(true);
    ASSERT_TRUE(controller->setConditionalUserProperty(active, &error)) << describe(error);
    EXPECT_TRUE(database->userAttributeWithName("now", &error));

    clock->advance(61);
    EXPECT_EQ(names(controller->removeTimedOutConditionalUserProperties(&error)),
              std::vector<std::string>{"late"});
    EXPECT_EQ(names(controller->conditionalUserPropertiesWithPrefix("", "", &error)),
              std::vector<std::string>{"now"});

    ASSERT_TRUE(controller->clearConditionalUserPropertyWithName("now", &error)) << describe(error);
    EXPECT_FALSE(database->userAttributeWithName("now", &error));
    EXPECT_TRUE(controller->clearConditionalUserPropertyWithName("never", &error));
}

TEST_F(ConditionalProperties, AUserPropertyThatIsRefusedUndoesTheWholeChange) {
    auto active = property("bad name");
    active.setActive(true);
    EXPECT_FALSE(controller->setConditionalUserProperty(active, &error));
    EXPECT_EQ(describe(error), "Received empty user property for getting dictionary representation");
    EXPECT_EQ(count("conditional_properties"), 0);
}
