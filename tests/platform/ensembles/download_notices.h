#pragma once

#include <chrono>
#include <thread>

#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/ensembles/cde_notifications.h"
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

    // Lets the folder watchers' reports reach the main queue until `count` downloads were announced, or
    // `limit` has passed (false then). The virtual clock moves only while a burst is open, by the quiet
    // period that ends it.
    bool settleUntil(platform::VirtualClock& clock, int count,
                     std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (downloads < count) {
            if (std::chrono::steady_clock::now() > end) return false;
            clock.runUntilIdle();
            if (progress > downloads) {
                // The watcher reports in real time on a thread of its own: on a loaded machine the rest of
                // what was written may reach the main queue a while after the burst's first file.
                std::this_thread::sleep_for(kWatcherGrace);
                clock.runUntilIdle();
                clock.advance(platform::CDEICloudFileSystem::kArrivalQuietPeriod);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return true;
    }
    // Settles for a while, long enough for a watcher to report what was written before: nothing written
    // here should be announced.
    void settleAWhile(platform::VirtualClock& clock) const {
        settleUntil(clock, downloads + 1, std::chrono::milliseconds(500));
    }

    static constexpr std::chrono::milliseconds kWatcherGrace{250};
    int progress = 0, downloads = 0;
    bool onMainThread = true;

private:
    void note(int& count) {
        ++count;
        onMainThread = onMainThread && platform::NSThread::isMainThread();
    }
};

}  // namespace quorvel::testing
