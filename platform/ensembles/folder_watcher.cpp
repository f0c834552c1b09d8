#include "platform/ensembles/folder_watcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <set>

#include "platform/ensembles/open_beneath.h"
#include "platform/foundation/console.h"

namespace platform {

namespace {

constexpr std::uint32_t kTreeEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE_SELF | IN_MOVE_SELF |
                                      IN_ONLYDIR | IN_DONT_FOLLOW;
constexpr std::uint32_t kParentEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Lines the console hears from one watcher at most: a hostile tree must not flood it.
constexpr std::size_t kMostLinesSaid = 64;

bool isHiddenName(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

bool isDirectory(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// The file system stamps a change with the coarse clock: a file changed after this reading is stamped
// no earlier than it.
timespec coarseNow() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}

bool changedSince(const struct stat& status, const std::optional<timespec>& since) {
    if (!since) return true;
    const auto& changed = status.st_ctim;
    return changed.tv_sec != since->tv_sec ? changed.tv_sec > since->tv_sec : changed.tv_nsec >= since->tv_nsec;
}

// Why a folder could not be watched, for a person.
std::string reasonFor(int error) {
    if (error == ENOSPC) return "the system's limit of inotify watches is reached (fs.inotify.max_user_watches)";
    if (error == EMFILE || error == ENFILE) return "too many open files";
    return std::strerror(error);
}

// The watchers alive, for catchUpAll.
struct LiveWatchers {
    platform::Mutex mutex;
    std::set<FolderWatcher*> watchers GUARDED_BY(mutex);
};

LiveWatchers& liveWatchers() {
    static auto* live = new LiveWatchers();  // never destroyed: a watcher may end at exit
    return *live;
}

void wakeUp(int wake) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake, &one, sizeof one);
}

std::string tooManyFolders() {
    return "more than " + std::to_string(FolderWatcher::kMaxFolders) + " folders";
}

}  // namespace

FolderWatcher::FolderWatcher(std::filesystem::path folder, Reach reach, Handler handler,
                             ExistingFiles existing, Notice folderCameOrWent)
    : folder_(std::move(folder)),
      reach_(std::move(reach)),
      handler_(std::move(handler)),
      cameOrWent_(std::move(folderCameOrWent)) {
    {
        MutexLock lock(control_);
        start(existing == ExistingFiles::Report ? Since() : Since(coarseNow()));
    }
    auto& live = liveWatchers();
    MutexLock lock(live.mutex);
    live.watchers.insert(this);
}

FolderWatcher::~FolderWatcher() {
    {
        auto& live = liveWatchers();
        MutexLock lock(live.mutex);
        live.watchers.erase(this);
    }
    MutexLock lock(control_);
    if (!thread_.joinable()) return;
    stopping_ = true;
    wakeUp(wake_);
    thread_.join();
    ::close(inotify_);
    ::close(wake_);
}

bool FolderWatcher::start(Since since) {
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) {
        couldNotWatch(reasonFor(errno));
        return false;
    }
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0) {
        const int error = errno;
        ::close(inotify_);
        inotify_ = -1;
        couldNotWatch(reasonFor(error));
        return false;
    }
    // A missing folder's parent is watched at once, so that its coming is noticed; the first walk runs on
    // the thread: a large or hostile tree never holds the caller. Files that land in a folder before it
    // is watched are found by their change time.
    const bool waiting = watchForMissingFolder(since);
    started_ = true;
    thread_ = std::thread([this, since, waiting] { run(since, waiting); });
    return true;
}

void FolderWatcher::retryIfIncomplete() {
    MutexLock lock(control_);
    if (!thread_.joinable()) {
        start(coarseNow());
        return;
    }
    if (!incomplete_) return;
    const auto now = coarseNow();
    rearmSinceNanoseconds_ = std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    rearmRequested_ = true;
    wakeUp(wake_);
}

void FolderWatcher::catchUpAll() {
    // Held throughout, so no watcher ends while it is waited for.
    auto& live = liveWatchers();
    MutexLock lock(live.mutex);
    for (auto* watcher : live.watchers) watcher->catchUp();
}

void FolderWatcher::catchUp() {
    std::uint64_t asked;
    {
        // Not held while waiting: a retry that holds its caller's lock, which the thread's handler may
        // need, must not wait for this.
        MutexLock control(control_);
        if (!thread_.joinable()) return;
        MutexLock lock(catchUpMutex_);
        asked = ++catchUpsAsked_;
        wakeUp(wake_);
    }
    MutexLock lock(catchUpMutex_);
    while (catchUpsDone_ < asked) lock.wait(caughtUp_);
}

void FolderWatcher::caughtUpWith(std::uint64_t asked) {
    MutexLock lock(catchUpMutex_);
    catchUpsDone_ = asked;
    caughtUp_.notify_all();
}

void FolderWatcher::run(Since since, bool waiting) {
    if (!waiting)
        arm(since);
    else if (isDirectory(folder_))
        rearm(std::nullopt);  // it came before its parent was watched
    for (;;) {
        pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;  // interrupted by a signal
        // Events first: a walk again drops the watches they came from, and the files they name may have
        // changed before the time it reports from.
        if (fds[0].revents) handleEvents();
        if (fds[1].revents) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(wake_, &count, sizeof count);
            if (stopping_) return;
            // What happened before a catch-up was asked for is queued by now: take it all in first.
            std::uint64_t asked;
            {
                MutexLock lock(catchUpMutex_);
                asked = catchUpsAsked_;
            }
            handleEvents();
            if (rearmRequested_.exchange(false)) {
                const std::int64_t nanoseconds = rearmSinceNanoseconds_;
                rearm(timespec{static_cast<time_t>(nanoseconds / 1'000'000'000),
                               static_cast<long>(nanoseconds % 1'000'000'000)});
            }
            caughtUpWith(asked);
        }
    }
}

void FolderWatcher::handleEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    bool again = false;
    for (;;) {
        const auto length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0) break;
        for (const char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            handleEvent(event->wd, event->mask, event->len ? event->name : "", again);
        }
    }
    if (again) rearm(std::nullopt);
}

void FolderWatcher::handleEvent(int watch, std::uint32_t mask, const std::string& name, bool& rearm) {
    if (mask & IN_Q_OVERFLOW) {
        rearm = true;  // events were lost: look at everything again
        return;
    }
    if (watch == parentWatch_) {
        // The folder, or a folder on the way to it, may have appeared; or the parent went.
        rearm = true;
        return;
    }
    const auto* folder = folders_.find(watch);
    if (!folder) return;  // a watch dropped already
    const bool top = folder->parent == WatchedFolders::kNoParent;
    if (mask & IN_IGNORED) {
        forget(watch);
        rearm = rearm || top;
        return;
    }
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        // A folder moved out of the tree is not ours to report on; one moved within it was taken under
        // its new name already, when it arrived there.
        if ((mask & IN_MOVE_SELF) && !top && !stillHolds(watch)) forget(watch);
        folderWent_ = folderWent_ || top;
        rearm = rearm || top;
        return;
    }
    if (isHiddenName(name)) return;
    const auto level = folders_.depth(watch);
    if (!level) return;
    if ((mask & IN_ISDIR) && (mask & (IN_CREATE | IN_MOVED_TO))) {
        if (reaches(*level + 1, name)) walk(watch, name, std::nullopt);
    } else if (!(mask & IN_ISDIR) && (mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) &&
               static_cast<std::size_t>(*level) == reach_.size()) {
        const auto directory = folders_.relativePath(watch);
        struct stat status{};
        if (directory && ::lstat((folder_ / *directory / name).c_str(), &status) == 0 && S_ISREG(status.st_mode))
            report(*directory / name);
    }
}

void FolderWatcher::rearm(Since since) {
    const auto wasMissingBelow = missingBelow_;
    dropWatches();
    incomplete_ = false;
    const bool missing = watchForMissingFolder(since);
    // Deeper than before, or there at last: a folder on the way came (back). One wiped and made again
    // at once may be back before this look: its going is noticed as well. Told before the files in it.
    const bool cameBack = wasMissingBelow && (!missingBelow_ || missingBelow_->string().size() >
                                                                     wasMissingBelow->string().size());
    if ((cameBack || folderWent_) && cameOrWent_) cameOrWent_();
    folderWent_ = false;
    if (!missing) walk(WatchedFolders::kNoParent, "", since);
}

void FolderWatcher::arm(Since since) {
    incomplete_ = false;
    if (!watchForMissingFolder(since)) walk(WatchedFolders::kNoParent, "", since);
}

bool FolderWatcher::reaches(int level, const std::string& name) const {
    if (level == 0) return true;
    if (level < 0 || static_cast<std::size_t>(level) > reach_.size() || isHiddenName(name)) return false;
    const auto& wanted = reach_[static_cast<std::size_t>(level) - 1];
    return !wanted || *wanted == name;
}

bool FolderWatcher::watchForMissingFolder(Since& since) {
    // The folder, or a folder on the way to it, may appear between the look and the parent's watch: look
    // again once the parent is watched, and watch the deeper one when it came meanwhile.
    while (!isDirectory(folder_)) {
        const auto watched = watchParentOfMissingFolder();
        if (!isDirectory(folder_) && nearestExistingParent() == watched) {
            missingBelow_ = watched;
            return true;
        }
        dropWatches();
        since.reset();  // it came: whatever is in it is new
    }
    missingBelow_.reset();
    return false;
}

// Depth first, without recursion: the folders still to look into wait as their parent's watch and their
// name, and each is opened, watched and read, and closed before the next.
void FolderWatcher::walk(int parent, const std::string& name, Since since) {
    Pending pending{{parent, name}};
    while (!pending.empty() && !stopping_) {
        auto [under, next] = std::move(pending.back());
        pending.pop_back();
        watchFolder(under, next, since, pending);
    }
}

void FolderWatcher::watchFolder(int parent, const std::string& name, Since since, Pending& pending) {
    const bool top = parent == WatchedFolders::kNoParent;
    const auto under = top ? std::optional<std::filesystem::path>("") : folders_.relativePath(parent);
    const auto parentLevel = top ? std::optional<int>(-1) : folders_.depth(parent);
    if (!under || !parentLevel) return;  // its parent went meanwhile
    const int level = *parentLevel + 1;
    if (!reaches(level, name)) return;
    const auto relative = *under / name;
    // The top folder may be reached through links (the user chose it); below it, no link is followed.
    const int fd = top ? ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                       : openBeneath(folder_, relative, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
        // Gone meanwhile, or a link or file put in its place, perhaps for a moment: looked at again by the
        // next walk.
        if (errno != ENOENT && errno != ELOOP && errno != ENOTDIR) couldNotWatch(reasonFor(errno));
        incomplete_ = true;
        return;
    }
    struct stat status{};
    if (::fstat(fd, &status) != 0) {
        couldNotWatch(reasonFor(errno));
        ::close(fd);
        return;
    }
    int watch = -1;
    if (const auto known = folders_.watchOf(status.st_dev, status.st_ino)) {
        // Watched already: moved here within the tree, back from a move, or a second way to it (a mount
        // inside the tree). Its folders are looked at again: one may have failed while it was away.
        if (!stillHolds(*known)) folders_.move(*known, parent, name);
        watch = *known;
    } else if (folders_.size() >= kMaxFolders) {
        couldNotWatch(tooManyFolders());
        ::close(fd);
        return;
    } else {
        watch = addWatch(fd, relative);
        if (watch < 0) {
            if (errno != ENOENT && errno != ENOTDIR) couldNotWatch(reasonFor(errno));
            incomplete_ = true;
            ::close(fd);
            return;
        }
        folders_.add(watch, {parent, name, status.st_dev, status.st_ino});
    }
    readFolder(fd, watch, relative, level, since, pending);
}

// Reports the files of a folder of the reach's last level, and queues the folders of one above it.
void FolderWatcher::readFolder(int fd, int watch, const std::filesystem::path& relative, int level,
                               Since since, Pending& pending) {
    const bool last = static_cast<std::size_t>(level) == reach_.size();
    DIR* directory = ::fdopendir(fd);
    if (!directory) {
        couldNotWatch(reasonFor(errno));
        ::close(fd);
        return;
    }
    bool tooMany = false;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string child = entry->d_name;
        if (child == "." || child == ".." || isHiddenName(child)) continue;
        if (!last && !reaches(level + 1, child)) continue;  // out of reach, whatever it is
        auto type = entry->d_type;
        struct stat childStatus{};
        const bool needStatus = type == DT_UNKNOWN || (type == DT_REG && last && since);
        if (needStatus) {
            if (::fstatat(::dirfd(directory), child.c_str(), &childStatus, AT_SYMLINK_NOFOLLOW) != 0) continue;
            type = S_ISDIR(childStatus.st_mode) ? DT_DIR : S_ISREG(childStatus.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR && !last) {
            if (pending.size() < kMaxFolders)
                pending.emplace_back(watch, child);
            else
                tooMany = true;
        } else if (type == DT_REG && last && (!needStatus || changedSince(childStatus, since))) {
            report(relative / child);
        }
    }
    ::closedir(directory);
    if (tooMany) couldNotWatch(tooManyFolders());
}

// Watches the folder open at `fd` itself, so that no link swapped in meanwhile is watched instead.
int FolderWatcher::addWatch(int fd, const std::filesystem::path& relative) {
    const auto opened = "/proc/self/fd/" + std::to_string(fd);
    const int watch = ::inotify_add_watch(inotify_, opened.c_str(), kTreeEvents & ~IN_DONT_FOLLOW);
    if (watch >= 0 || errno != ENOENT) return watch;
    return ::inotify_add_watch(inotify_, (folder_ / relative).c_str(), kTreeEvents);  // no /proc
}

// Whether the folder is still where it was last seen.
bool FolderWatcher::stillHolds(int watch) const {
    const auto* folder = folders_.find(watch);
    const auto relative = folders_.relativePath(watch);
    struct stat status{};
    return folder && relative && ::lstat((folder_ / *relative).c_str(), &status) == 0 &&
           status.st_dev == folder->device && status.st_ino == folder->inode;
}

void FolderWatcher::forget(int watch) {
    for (const int gone : folders_.removeTree(watch)) ::inotify_rm_watch(inotify_, gone);
}

std::filesystem::path FolderWatcher::nearestExistingParent() const {
    auto parent = folder_.parent_path();
    while (!parent.empty() && !isDirectory(parent) && parent != parent.root_path())
        parent = parent.parent_path();
    return parent;
}

std::filesystem::path FolderWatcher::watchParentOfMissingFolder() {
    const auto parent = nearestExistingParent();
    if (parent.empty()) return parent;
    parentWatch_ = ::inotify_add_watch(inotify_, parent.c_str(), kParentEvents);
    if (parentWatch_ < 0) couldNotWatch(reasonFor(errno));
    return parent;
}

void FolderWatcher::dropWatches() {
    for (const int watch : folders_.clear()) ::inotify_rm_watch(inotify_, watch);
    if (parentWatch_ >= 0) ::inotify_rm_watch(inotify_, parentWatch_);
    parentWatch_ = -1;
}

void FolderWatcher::report(const std::filesystem::path& relative) {
    for (const auto& part : relative) {
        if (isHiddenName(part.string())) return;
    }
    handler_(relative.string());
}

void FolderWatcher::couldNotWatch(const std::string& why) {
    incomplete_ = true;
    say("Not watching all of " + folder_.string() + " (" + why +
        "): files arriving there wait for the next merge, which tries again");
}

void FolderWatcher::say(const std::string& line) {
    MutexLock lock(sayMutex_);
    if (said_.size() >= kMostLinesSaid || std::find(said_.begin(), said_.end(), line) != said_.end()) return;
    said_.push_back(line);
    Console::print(line);
}

}  // namespace platform
