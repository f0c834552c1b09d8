#include <gtest/gtest.h>

#include "platform/bugsnag/bugsnag.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_bundle.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

TEST(Bugsnag, ARunIsRecordedOnceWithTheApp) {
    quorvel::testing::TempDataRoot root;
    auto clock = VirtualClock::install();
    EXPECT_TRUE(Bugsnag::start());
    EXPECT_TRUE(Bugsnag::start());
    const auto lines = Bugsnag::log().lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(R"("bundle_identifier":")" + NSBundle::mainBundle()->bundleIdentifier() + "\""),
              std::string::npos);
    EXPECT_NE(lines[0].find(R"("type":"start")"), std::string::npos);
}
