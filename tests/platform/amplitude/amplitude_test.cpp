#include <gtest/gtest.h>

#include "platform/amplitude/amplitude.h"
#include "platform/foundation/clock.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

TEST(Amplitude, CallsAreRecordedOnlyOnceTheKeyIsGiven) {
    quorvel::testing::TempDataRoot root;
    auto clock = VirtualClock::install();
    Amplitude amplitude;
    amplitude.logEvent("early");
    amplitude.identify(AMPIdentify::identify().set("plan", "free"));
    EXPECT_TRUE(Amplitude::log().lines().empty());

    amplitude.initializeApiKey("7c1d9e04b2a85f3360ee4a19d7b2c58f");
    amplitude.identify(AMPIdentify::identify().set("plan", "free").set("plan", "pro").set("seats", 3));
    amplitude.logEvent("upgraded", {{"from", "free"}});
    const auto lines = Amplitude::log().lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find(R"("type":"initialize")"), std::string::npos);
    EXPECT_NE(lines[1].find(R"("user_properties":{"$set":{"plan":"pro","seats":3}})"), std::string::npos);
    EXPECT_NE(lines[2].find(R"("event_properties":{"from":"free"},"event_type":"upgraded")"), std::string::npos);
    EXPECT_NE(lines[2].find(R"({"api_key":"7c1d9e04b2a85f3360ee4a19d7b2c58f",)"), std::string::npos);
}
