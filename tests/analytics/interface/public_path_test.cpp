#include <gtest/gtest.h>

#include <thread>

#include "analytics/engine/apm_screen_view_reporter.h"
#include "analytics/interface/apm_analytics.h"
#include "analytics/interface/dzr_app.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "analytics/records/apm_error_event.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_date.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/analytics/fresh_library.h"

using namespace analytics;
using engine_test::EventsTakenIn;
using platform::Console;
using platform::Value;

namespace {

class PublicPath : public quorvel::testing::FreshLibraryTest {
protected:
    std::vector<APMEvent> arrived() {
        clock->runUntilIdle();
        return events->events();
    }

    std::shared_ptr<EventsTakenIn> events = EventsTakenIn::installOnEngine();
};

APMValue text(const std::string& value) {
    return *APMValue::initWithString(value);
}

APMValue integer(std::int64_t value) {
    return APMValue::initWithInt64(value);
}

}  // namespace

TEST_F(PublicPath, EventsBeforeTheAppIsConfiguredAreDroppedWithAWarning) {
    Console::Capture capture;
    ROVEruzovaza::logEventWithName("Chart_Event", {{"Orientation", "portrait"}});
    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS025018] Event not logged. Call +[DZRApp configure]"));

    DZRApp::configure();
    EXPECT_TRUE(arrived().empty());
}

TEST_F(PublicPath, AppEventsArriveStampedWithTheCurrentScreen) {
    DZRApp::configure();
    APMScreenViewReporter::sharedInstance()->setScreenParameters(
        {{"_sn", text("Timer")}, {"_sc", text("TimeViewController")}, {"_si", integer(7)}});
    ROVEruzovaza::logEventWithName("Timer_Event", {{"Press_Button", "Start"}});
    // An event that names its own screen keeps it.
    ROVEruzovaza::logEventWithName("Chart_Event", {{"_sn", "Charts"}, {"_si", 9}});

    const auto taken = arrived();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].name(), "Timer_Event");
    EXPECT_EQ(taken[0].origin(), "app");
    EXPECT_EQ(taken[0].timestamp(), platform::NSDate::now().timeIntervalSince1970());
    const APMValue::Parameters expected{{"Press_Button", text("Start")}, {"_o", text("app")},
                                        {"_sc", text("TimeViewController")}, {"_si", integer(7)},
                                        {"_sn", text("Timer")}};
    EXPECT_EQ(taken[0].parameters(), expected);
    const APMValue::Parameters ownScreen{{"_o", text("app")}, {"_si", integer(9)}, {"_sn", text("Charts")}};
    EXPECT_EQ(taken[1].parameters(), ownScreen);
}

TEST_F(PublicPath, EventsLoggedBeforeTheStartAreKeptInOrder) {
    for (int i = 0; i < 5; ++i)
        APMAnalytics::logInternalEventWithOrigin("auto", "_early", APMObjectParametersFrom(Value::Dictionary{{"n", i}}));
    EXPECT_TRUE(arrived().empty());

    DZRApp::configure();
    ROVEruzovaza::logEventWithName("after_start");
    const auto taken = arrived();
    ASSERT_EQ(taken.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(taken[i].name(), "_early");
        EXPECT_EQ(taken[i].parameters().at("n"), integer(i));
    }
    EXPECT_EQ(taken[5].name(), "after_start");
}

TEST_F(PublicPath, RefusalsArriveAsErrorEventsOfTheLibrary) {
    DZRApp::configure();
    ROVEruzovaza::logEventWithName("first_open");
    ROVEruzovaza::logEventWithName(std::string(45, 'x'));
    APMLogErrorCode(&APMAnalytics::logInternalEventWithOrigin, 5);

    const auto taken = arrived();
    ASSERT_EQ(taken.size(), 3u);
    for (const auto& event : taken) {
        EXPECT_EQ(event.name(), "_err");
        EXPECT_EQ(event.origin(), "auto");
    }
    EXPECT_EQ(taken[0].parameters().at("_err"), integer(13));
    EXPECT_EQ(taken[0].parameters().at("_ev"), text("first_open"));
    EXPECT_EQ(taken[1].parameters().at("_err"), integer(2));
    EXPECT_EQ(taken[1].parameters().at("_ev"), text(std::string(40, 'x') + "..."));
    EXPECT_EQ(taken[1].parameters().at("_el"), integer(45));
    EXPECT_EQ(taken[2].parameters().at("_err"), integer(5));
    EXPECT_FALSE(taken[2].parameters().contains("_ev"));
}

TEST_F(PublicPath, UnbridgeableValuesOnlyWarn) {
    DZRApp::configure();
    Console::Capture capture;
    ROVEruzovaza::logEventWithName("level_up", {{"when", platform::NSDate(5)}, {"level", 2}});
    const auto taken = arrived();
    EXPECT_TRUE(capture.contains("[I-ACS025040] Unbridgeable Swift type logged in parameters."));
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].parameters().at("level"), integer(2));
    EXPECT_FALSE(taken[0].parameters().contains("when"));
}

// Four threads log at once; every event arrives, each thread's in the order it logged them.
TEST_F(PublicPath, EventsFromSeveralThreadsArriveInEachThreadsOrder) {
    DZRApp::configure();
    constexpr int kThreads = 4, kEach = 2500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kEach; ++i) ROVEruzovaza::logEventWithName("tick", {{"thread", t}, {"index", i}});
        });
    }
    for (auto& thread : threads) thread.join();

    const auto taken = arrived();
    ASSERT_EQ(taken.size(), static_cast<std::size_t>(kThreads * kEach));
    std::vector<std::int64_t> next(kThreads, 0);
    for (const auto& event : taken) {
        const auto thread = event.parameters().at("thread").int64Value();
        ASSERT_EQ(event.parameters().at("index").int64Value(), next[thread]) << "thread " << thread;
        ++next[thread];
    }
}
