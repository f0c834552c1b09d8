#pragma once

#include <cstdlib>
#include <filesystem>

#include "app/core/audio_manager.h"
#include "app/core/timer_view_model.h"
#include "platform/backgroundtasks/bg_task_scheduler.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/usernotifications/un_user_notification_center.h"

namespace quorvel::testing {

// What a launched app reaches outside itself, for one test: no desktop notification service (a bus
// address that leads nowhere) and an empty music folder in the data root; afterwards the app's shared
// objects are forgotten, so the next case launches afresh.
class LaunchEnvironment {
public:
    explicit LaunchEnvironment(const std::filesystem::path& dataRoot) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus", 1);
        std::filesystem::create_directories(dataRoot / "Music");
        platform::MPMediaLibrary::setMusicFolderForTesting(dataRoot / "Music");
    }
    ~LaunchEnvironment() {
        platform::MPMediaLibrary::setMusicFolderForTesting({});
        platform::BGTaskScheduler::resetSharedForTesting();
        TimerViewModel::resetSharedForTesting();
        AudioManager::resetSharedForTesting();
        platform::UNUserNotificationCenter::resetCurrentForTesting();
    }
    LaunchEnvironment(const LaunchEnvironment&) = delete;
    LaunchEnvironment& operator=(const LaunchEnvironment&) = delete;
};

}  // namespace quorvel::testing
