#pragma once

#include "platform/foundation/ns_notification_center.h"

namespace analytics {

// The application's life-cycle notifications that the engine and the screen-view reporter observe.
const platform::NSNotificationName& APMApplicationDidBecomeActiveNotificationName();
const platform::NSNotificationName& APMApplicationDidFinishLaunchingNotificationName();
const platform::NSNotificationName& APMApplicationWillResignActiveNotificationName();
const platform::NSNotificationName& APMWindowDidResignKeyNotificationName();
const platform::NSNotificationName& APMApplicationWillEnterForegroundNotificationName();
const platform::NSNotificationName& APMApplicationDidEnterBackgroundNotificationName();

}  // namespace analytics
