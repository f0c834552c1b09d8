#include <gtest/gtest.h>

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/interface/dzr_app.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "analytics/storage/apm_database.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_date.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;

TEST(StoredEvent, AnEventLoggedByTheAppIsStoredAsARawEventWithItsParameters) {
    quorvel::testing::TempDataRoot root;
    const auto clock = platform::VirtualClock::install();
    DZRApp::configure();
    ROVEruzovaza::logEventWithName("Chart_Event",
                                   {{"Orientation", "landscape"}, {"charts", 2}, {"zoom", 1.5}});
    clock->runUntilIdle();

    const auto engine = APMMeasurement::sharedInstance();
    ASSERT_TRUE(engine);
    std::optional<std::vector<APMRawEventData>> stored;
    engine->scheduler().dispatchSyncOnWorkerQueueBlockID("test", [&] {
        const auto database = engine->database();
        const auto fingerprint = database->nextMetadataFingerprintToProcess(nullptr);
        stored = database->rawEventsWithMetadataFingerprint(fingerprint.value_or(0), nullptr,
                                                            [](auto, const auto&) { return true; });
    });
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 1u);
    const APMEvent& event = stored->front().rawEvent();
    EXPECT_EQ(event.name(), "Chart_Event");
    EXPECT_EQ(event.origin(), "app");
    EXPECT_EQ(event.timestamp(), platform::NSDate::now().timeIntervalSince1970());
    const APMValue::Parameters expected{{"Orientation", *APMValue::initWithString(std::string("landscape"))},
                                        {"_o", *APMValue::initWithString(std::string("app"))},
                                        {"charts", APMValue::initWithInt64(2)},
                                        {"zoom", APMValue::initWithDouble(1.5)}};
    EXPECT_EQ(event.parameters(), expected);
}
