#include "app/core/app_notification_names.h"

namespace quorvel {

// Each name is a function-local constant: made once, on first use, safely across threads.
#define QUORVEL_NOTIFICATION_NAME(accessor, literal)                   \
    const platform::NSNotificationName& NotificationName::accessor() { \
        static const platform::NSNotificationName name(literal);       \
        return name;                                                   \
    }

QUORVEL_NOTIFICATION_NAME(sessionSkipAlert, "SessionSkipAlert")
QUORVEL_NOTIFICATION_NAME(navigationBarButtonSet, "NavigationBarButtonSet")
QUORVEL_NOTIFICATION_NAME(deviceRotated, "DeviceRotated")
QUORVEL_NOTIFICATION_NAME(sessionDidChange, "SessionDidChange")
QUORVEL_NOTIFICATION_NAME(timerRunningStatus, "TimerRunningStatus")
QUORVEL_NOTIFICATION_NAME(changeChartsData, "changeChartsData")
QUORVEL_NOTIFICATION_NAME(shouldResetSession, "ShouldResetSession")
QUORVEL_NOTIFICATION_NAME(colourSet, "ColourSet")
QUORVEL_NOTIFICATION_NAME(newTickingSoundSet, "NewTickingSoundSet")
QUORVEL_NOTIFICATION_NAME(volumeAdjusted, "VolumeAdjusted")
QUORVEL_NOTIFICATION_NAME(soundMuted, "SoundMuted")
QUORVEL_NOTIFICATION_NAME(autoResetSound, "AutoResetSound")
QUORVEL_NOTIFICATION_NAME(enableDeviceRotation, "EnableDeviceRotation")
QUORVEL_NOTIFICATION_NAME(enableLockScreen, "enableLockScreen")
QUORVEL_NOTIFICATION_NAME(didChangeCloudContent, "didChangeCloudContent")
QUORVEL_NOTIFICATION_NAME(chosenSongRefused, "ChosenSongRefused")

#undef QUORVEL_NOTIFICATION_NAME

}  // namespace quorvel
