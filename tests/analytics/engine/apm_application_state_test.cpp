#include <gtest/gtest.h>

#include <set>

#include "analytics/engine/apm_application_notifications.h"
#include "analytics/engine/apm_backward_compatibility_util.h"
#include "analytics/engine/apm_screen_view_reporter.h"
#include "platform/foundation/ns_notification_center.h"

using namespace analytics;

TEST(ApplicationState, ActiveFollowsTheApplicationsLifeCycle) {
    auto& center = platform::NSNotificationCenter::defaultCenter();
    EXPECT_FALSE(APMAppIsActive());
    center.postNotificationName(APMApplicationDidBecomeActiveNotificationName());
    EXPECT_TRUE(APMAppIsActive());
    center.postNotificationName(APMApplicationDidEnterBackgroundNotificationName());
    EXPECT_TRUE(APMAppIsActive());
    center.postNotificationName(APMApplicationWillResignActiveNotificationName());
    EXPECT_FALSE(APMAppIsActive());

    const std::set<std::string> names{APMApplicationDidBecomeActiveNotificationName(),
                                      APMApplicationDidFinishLaunchingNotificationName(),
                                      APMApplicationWillResignActiveNotificationName(),
                                      APMWindowDidResignKeyNotificationName(),
                                      APMApplicationWillEnterForegroundNotificationName(),
                                      APMApplicationDidEnterBackgroundNotificationName()};
    EXPECT_EQ(names.size(), 6u);
}

namespace {

struct OlderLibrary : APMBackwardCompatibilityUtil::Switchable {
    void setIsEnabled(bool enabled) override { this->enabled = enabled; }
    bool enabled = true;
};

}  // namespace

TEST(ApplicationState, AnOlderLibraryIsSwitchedOffOnlyWhenItHasAnInstance) {
    EXPECT_FALSE(APMBackwardCompatibilityUtil::disableZUZIruvorezuvu());
    APMBackwardCompatibilityUtil::registerClass("ZUZIruvorezuvu", [] { return nullptr; });
    EXPECT_FALSE(APMBackwardCompatibilityUtil::disableZUZIruvorezuvu());

    auto older = std::make_shared<OlderLibrary>();
    APMBackwardCompatibilityUtil::registerClass("ZUZIruvorezuvu", [older] { return older; });
    EXPECT_TRUE(APMBackwardCompatibilityUtil::disableZUZIruvorezuvu());
    EXPECT_FALSE(older->enabled);
}
