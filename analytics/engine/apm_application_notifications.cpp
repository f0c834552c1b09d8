#include "analytics/engine/apm_application_notifications.h"

namespace analytics {

namespace {

// Never destroyed: observers compare against them until exit. Each is the application's own name.
const platform::NSNotificationName& named(const char* name) {
    return *new platform::NSNotificationName(name);
}

}  // namespace

const platform::NSNotificationName& APMApplicationDidBecomeActiveNotificationName() {
    static const auto& name = named("UIApplicationDidBecomeActiveNotification");
    return name;
}

const platform::NSNotificationName& APMApplicationDidFinishLaunchingNotificationName() {
    static const auto& name = named("UIApplicationDidFinishLaunchingNotification");
    return name;
}

const platform::NSNotificationName& APMApplicationWillResignActiveNotificationName() {
    static const auto& name = named("UIApplicationWillResignActiveNotification");
    return name;
}

const platform::NSNotificationName& APMWindowDidResignKeyNotificationName() {
    static const auto& name = named("UIWindowDidResignKeyNotification");
    return name;
}

const platform::NSNotificationName& APMApplicationWillEnterForegroundNotificationName() {
    static const auto& name = named("UIApplicationWillEnterForegroundNotification");
    return name;
}

const platform::NSNotificationName& APMApplicationDidEnterBackgroundNotificationName() {
    static const auto& name = named("UIApplicationDidEnterBackgroundNotification");
    return name;
}

}  // namespace analytics
