#pragma once

#include <filesystem>

#include "app/core/audio_manager.h"
#include "app/core/cloud_sync_manager.h"
#include "app/core/core_data_manager.h"
#include "app/core/timer_view_model.h"
#include "platform/backgroundtasks/bg_task_scheduler.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/usernotifications/un_user_notification_center.h"
#include "tests/analytics/fresh_library.h"
#include "tests/support/fresh_amplitude.h"
#include "tests/support/fresh_application.h"
#include "tests/support/scoped_environment_variable.h"

namespace quorvel::testing {

// What a launched app reaches outside itself, for one test: no desktop notification service (a bus
// address that leads nowhere) and an empty music folder in the data root. The app's shared objects, the
// application, the analytics library and the second service are forgotten before and after, so each
// case launches afresh, and what it changed outside is put back.
class LaunchEnvironment {
public:
    explicit LaunchEnvironment(const std::filesystem::path& dataRoot) {
        forgetSharedObjects();
        std::filesystem::create_directories(dataRoot / "Music");
        platform::MPMediaLibrary::setMusicFolderForTesting(dataRoot / "Music");
    }
    ~LaunchEnvironment() {
        // The work the case left queued goes now, while what it holds may still end in the case's
        // data root and among its shared objects, not in the next case's.
        platform::Clock::shared().cancelAll();
        platform::NSRunLoop::main().reset();
        platform::MPMediaLibrary::setMusicFolderForTesting({});
        forgetSharedObjects();
    }
    LaunchEnvironment(const LaunchEnvironment&) = delete;
    LaunchEnvironment& operator=(const LaunchEnvironment&) = delete;

    static void forgetSharedObjects() {
        platform::BGTaskScheduler::resetSharedForTesting();
        TimerViewModel::resetSharedForTesting();
        AudioManager::resetSharedForTesting();
        CloudSyncManager::resetSharedForTesting();
        CoreDataManager::resetSharedForTesting();
        platform::UNUserNotificationCenter::resetCurrentForTesting();
        platform::UNUserNotificationCenter::setDeniesAuthorizationForTesting(false);
    }

private:
    FreshApplication application_;
    FreshLibrary library_;
    FreshAmplitude amplitude_;
    ScopedEnvironmentVariable bus_{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus"};
};

}  // namespace quorvel::testing
