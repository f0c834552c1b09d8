#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/ensembles/watched_folders.h"
#include "platform/foundation/mutex.h"

namespace platform {

// Watches a folder, and the folders below it that its reach names, with inotify on a thread of its own,
// and reports every regular file that is written and closed, or moved in, in the folders of the reach's
// last level, by its path relative to the folder. Nothing else below the folder is looked into, so
// whatever other programs leave there costs neither watches nor time. Hidden files and hidden folders
// are not reported: half-written files are kept hidden. The folder need not exist: its nearest existing
// parent is watched until it appears, and again after it is deleted. A folder that appears (or
// reappears) has every file in it reported, since files may land in it before it is watched. A file may
// be reported more than once.
// The tree is written by other programs: the walk follows no link below the folder, watches each folder
// once and at most kMaxFolders, and holds one descriptor at a time. Nothing is walked on the caller's
// thread.
class FolderWatcher {
public:
    // Called on the watcher's thread; it should only hand the path on.
    using Handler = std::function<void(const std::string& relativePath)>;
    // Called on the watcher's thread when, while it runs, the folder goes, or it (or a missing folder on
    // the way to it) appears: files written there may be gone, and an empty folder brings no file to report.
    // It comes before the files found in the folder that came are reported.
    using Notice = std::function<void()>;
    // Ignore: only files changed since the watcher was made are reported from the first walk.
    enum class ExistingFiles { Ignore, Report };
    // The folders watched below the folder, a level at a time: at each level the folder of that name, or
    // (none) every folder. Files are reported from the folders of the last level; with no level, from the
    // folder itself.
    using Reach = std::vector<std::optional<std::string>>;

    // A shared folder holds a few folders per device; this is far above any real one.
    static constexpr std::size_t kMaxFolders = 4096;

    FolderWatcher(std::filesystem::path folder, Reach reach, Handler handler, ExistingFiles existing,
                  Notice folderCameOrWent = {});
    // Stops the thread and waits for it; the handler is not called afterwards.
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // False while inotify could not be set up; nothing is reported then.
    bool isWatching() const { return started_; }
    // When inotify could not be set up, or the last walk could not watch every folder it reaches (one
    // could not be read or went while it was walked, or a limit was reached), walks the whole reach
    // again; files changed since are reported.
    void retryIfIncomplete();
    // Returns once every watcher alive has handled what happened in its folders before the call: its first
    // walk is over and every file written by then is reported. For whoever must know that nothing more is
    // on its way (a check that nothing is reported) without waiting for a time. No watcher may be made
    // meanwhile by a caller holding a lock its handler takes.
    static void catchUpAll();

private:
    void catchUp() EXCLUDES(control_);
    void caughtUpWith(std::uint64_t asked);
    using Since = std::optional<timespec>;  // none: every file counts

    bool start(Since since) REQUIRES(control_);
    // `waiting`: the folder was missing and its parent is watched already.
    void run(Since since, bool waiting);
    void handleEvents();
    void handleEvent(int watch, std::uint32_t mask, const std::string& name, bool& rearm);
    void arm(Since since);
    // Whether a folder `level` folders below the top one (the top one is 0) named `name` is watched.
    bool reaches(int level, const std::string& name) const;
    // Watches the nearest existing parent while the folder is missing (true); false once it is there.
    bool watchForMissingFolder(Since& since);
    void rearm(Since since);
    void walk(int parent, const std::string& name, Since since);
    // Folders still to look into, as their parent's watch and their name.
    using Pending = std::vector<std::pair<int, std::string>>;
    void watchFolder(int parent, const std::string& name, Since since, Pending& pending);
    void readFolder(int fd, int watch, const std::filesystem::path& relative, int level, Since since,
                    Pending& pending);
    int addWatch(int fd, const std::filesystem::path& relative);
    bool stillHolds(int watch) const;
    void forget(int watch);
    // Watches the nearest folder on the way to the missing one that exists; returns it.
    std::filesystem::path watchParentOfMissingFolder();
    std::filesystem::path nearestExistingParent() const;
    void dropWatches();
    void report(const std::filesystem::path& relative);
    void couldNotWatch(const std::string& why);
    void say(const std::string& line);

    const std::filesystem::path folder_;
    const Reach reach_;
    const Handler handler_;
    const Notice cameOrWent_;

    Mutex control_;
    std::thread thread_ GUARDED_BY(control_);
    std::atomic<bool> started_{false};
    std::atomic<bool> stopping_{false};
    // Set by retryIfIncomplete for the thread: walk again, reporting files changed since then.
    std::atomic<bool> rearmRequested_{false};
    std::atomic<std::int64_t> rearmSinceNanoseconds_{0};
    // Catch-ups asked for and those the thread has done, in order.
    Mutex catchUpMutex_;
    std::condition_variable caughtUp_;
    std::uint64_t catchUpsAsked_ GUARDED_BY(catchUpMutex_) = 0;
    std::uint64_t catchUpsDone_ GUARDED_BY(catchUpMutex_) = 0;
    // Set up before the thread starts, closed after it ends.
    int inotify_ = -1;
    int wake_ = -1;

    // Used on the watcher's thread only.
    WatchedFolders folders_;
    // The watch on the nearest existing parent while the folder is missing, or -1; and that parent.
    int parentWatch_ = -1;
    std::optional<std::filesystem::path> missingBelow_;
    bool folderWent_ = false;
    // Whether the last walk left a folder unwatched that a later try might watch.
    std::atomic<bool> incomplete_{false};
    Mutex sayMutex_;
    std::vector<std::string> said_ GUARDED_BY(sayMutex_);
};

}  // namespace platform
