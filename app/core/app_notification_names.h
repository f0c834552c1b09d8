#pragma once

#include "platform/foundation/ns_notification_center.h"

namespace quorvel {

// The names the app's parts talk through on the default notification centre. Each is created once,
// on first use. Posts carry at most an object, never user info:
//   sessionSkipAlert       none                          navigationBarButtonSet  the integer 0
//   deviceRotated          none                          sessionDidChange        pair (full, short) session
//   name timerRunningStatus     bool: true when just started  changeChartsData        none shouldResetSession
//   none                          colourSet               none newTickingSoundSet     the ticking sound's
//   kind      volumeAdjusted          a VolumeType soundMuted             a VolumeType autoResetSound none
//   enableDeviceRotation   the boolean true              enableLockScreen        bool: prevent screen lock
//   didChangeCloudContent  none (delivered on the main thread)
//   chosenSongRefused      a RefusedSong: a chosen song that does not play, and the settings it left
struct NotificationName {
    static const platform::NSNotificationName& sessionSkipAlert();
    static const platform::NSNotificationName& navigationBarButtonSet();
    static const platform::NSNotificationName& deviceRotated();
    static const platform::NSNotificationName& sessionDidChange();
    static const platform::NSNotificationName& timerRunningStatus();
    static const platform::NSNotificationName& changeChartsData();
    static const platform::NSNotificationName& shouldResetSession();
    static const platform::NSNotificationName& colourSet();
    static const platform::NSNotificationName& newTickingSoundSet();
    static const platform::NSNotificationName& volumeAdjusted();
    static const platform::NSNotificationName& soundMuted();
    static const platform::NSNotificationName& autoResetSound();
    static const platform::NSNotificationName& enableDeviceRotation();
    static const platform::NSNotificationName& enableLockScreen();
    static const platform::NSNotificationName& didChangeCloudContent();
    static const platform::NSNotificationName& chosenSongRefused();
};

}  // namespace quorvel
