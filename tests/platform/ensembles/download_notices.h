#pragma once

#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/ensembles/folder_watcher.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_thread.h"

namespace quorvel::testing {

// Counts the cloud folder's download notifications, noting whether each came on the main thread.
struct DownloadNotices {
    DownloadNotices() {
        auto& center = platform::NSNotificationCenter::defaultCenter();
        center.addObserver(this, platform::CDEICloudFileSystemDidMakeDownloadProgressNotification,
                           [this](const platform::NSNotification&) { note(progress); });
        center.addObserver(this, platform::CDEICloudFileSystemDidDownloadFilesNotification,
                           [this](const platform::NSNotification&) { note(downloads); });
    }
    ~DownloadNotices() { platform::NSNotificationCenter::defaultCenter().removeObserver(this); }

    // Lets the folder watchers report everything written so far and every burst end, then tells whether
    // `count` downloads were announced. The virtual clock moves only while a burst is open, by the quiet
    // period that ends it.
    bool settleUntil(platform::VirtualClock& clock, int count) const {
        settle(clock);
        return downloads >= count;
    }
    // The same, for a check that what was written before was not announced.
    void settle(platform::VirtualClock& clock) const {
        // A merge a download brings may write again; it ends with nothing more on its way.
        for (int round = 0; round < kMostRounds; ++round) {
            clock.runUntilIdle();  // no merge is starting a watcher meanwhile
            platform::FolderWatcher::catchUpAll();
            clock.runUntilIdle();
            if (progress == downloads) return;
            clock.advance(platform::CDEICloudFileSystem::kArrivalQuietPeriod);
        }
    }

    static constexpr int kMostRounds = 100;
    int progress = 0, downloads = 0;
    bool onMainThread = true;

private:
    void note(int& count) {
        ++count;
        onMainThread = onMainThread && platform::NSThread::isMainThread();
    }
};

}  // namespace quorvel::testing
