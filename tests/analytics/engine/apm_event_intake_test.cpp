#include <gtest/gtest.h>

#include "analytics/engine/apm_measurement.h"
#include "platform/foundation/console.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/analytics/fresh_engine.h"

using namespace analytics;
using engine_test::EventsTakenIn;
using platform::Value;

namespace {

using EngineIntake = quorvel::testing::FreshEngineTest;

}  // namespace

TEST_F(EngineIntake, ThereIsNoEngineBeforeTheLibraryMakesOne) {
    platform::Console::Capture capture;
    EXPECT_EQ(APMMeasurement::sharedInstance(), nullptr);
    const auto engine = APMMeasurement::sharedInstanceWithAppID("1:first:ios");
    EXPECT_EQ(APMMeasurement::sharedInstanceWithAppID("1:second:ios"), engine);
    EXPECT_EQ(APMMeasurement::sharedInstance(), engine);
    EXPECT_EQ(engine->appID(), "1:first:ios");
    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS023147]"));
}

TEST_F(EngineIntake, EventsReachTheIntakeAsRecordsInOrder) {
    const auto events = EventsTakenIn::installOnEngine();
    const auto engine = APMMeasurement::sharedInstance();
    for (int i = 0; i < 20; ++i) {
        engine->logEventWithOrigin("app", true, "level_up", 1000 + i,
                                   APMObjectParametersFrom(Value::Dictionary{{"level", i}}));
    }
    // Refused names never reach the end of the road.
    engine->logEventWithOrigin("app", true, "first_open", 2000, {});
    engine->logEventWithOrigin("not an origin", false, "_e", 2000, {});
    clock->runUntilIdle();

    const auto taken = events->events();
    ASSERT_EQ(taken.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(taken[i].name(), "level_up");
        EXPECT_EQ(taken[i].origin(), "app");
        EXPECT_EQ(taken[i].timestamp(), 1000 + i);
        EXPECT_EQ(taken[i].parameters().at("level"), APMValue::initWithInt64(i));
    }
}
