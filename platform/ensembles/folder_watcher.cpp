#include "platform/ensembles/folder_watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

namespace {

constexpr std::uint32_t kTreeEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kParentEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool isHiddenName(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

bool isDirectory(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace

FolderWatcher::FolderWatcher(std::filesystem::path folder, Handler handler, ExistingFiles existing)
    : folder_(std::move(folder)), handler_(std::move(handler)) {
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ < 0 || wake_ < 0) {
        if (inotify_ >= 0) ::close(inotify_);
        if (wake_ >= 0) ::close(wake_);
        inotify_ = wake_ = -1;
        return;
    }
    // Watched before the constructor returns, so nothing written afterwards is missed.
    arm(existing == ExistingFiles::Report);
    thread_ = std::thread([this] { run(); });
}

FolderWatcher::~FolderWatcher() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
        thread_.join();
    }
    if (inotify_ >= 0) ::close(inotify_);
    if (wake_ >= 0) ::close(wake_);
}

void FolderWatcher::run() {
    for (;;) {
        pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;  // interrupted by a signal
        if (fds[1].revents) return;
        if (fds[0].revents) handleEvents();
    }
}

void FolderWatcher::handleEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    bool rearm = false;
    for (;;) {
        const auto length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0) break;
        for (const char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            const std::string name = event->len ? event->name : "";
            if (event->mask & IN_Q_OVERFLOW) {
                rearm = true;  // events were lost: look at everything again
                continue;
            }
            if (event->wd == parentWatch_) {
                // The folder, or a folder on the way to it, may have appeared; or the parent went.
                rearm = true;
                continue;
            }
            const auto watched = watches_.find(event->wd);
            if (watched == watches_.end()) continue;  // a watch dropped already
            const auto directory = watched->second;
            if (event->mask & IN_IGNORED) {
                watches_.erase(watched);
                rearm = rearm || directory == folder_;
                continue;
            }
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
                // A folder moved out of the tree is not ours to report on; one moved within it was
                // watched again under its new name already, by the same watch.
                if ((event->mask & IN_MOVE_SELF) && directory != folder_ && !isDirectory(directory))
                    ::inotify_rm_watch(inotify_, event->wd);
                rearm = rearm || directory == folder_;
                continue;
            }
            if (isHiddenName(name)) continue;
            if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO))) {
                watchTree(directory / name, true);
            } else if (!(event->mask & IN_ISDIR) && (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO))) {
                report(directory / name);
            }
        }
    }
    if (rearm) {
        dropWatches();
        arm(true);
    }
}

void FolderWatcher::arm(bool reportFiles) {
    // The folder, or a folder on the way to it, may appear between the look and the parent's watch: look
    // again once the parent is watched, and watch the deeper one when it came meanwhile.
    while (!isDirectory(folder_)) {
        const auto watched = watchParentOfMissingFolder();
        if (!isDirectory(folder_) && nearestExistingParent() == watched) return;
        dropWatches();
        reportFiles = true;
    }
    watchTree(folder_, reportFiles);
}

void FolderWatcher::watchTree(const std::filesystem::path& directory, bool reportFiles) {
    const int watch = ::inotify_add_watch(inotify_, directory.c_str(), kTreeEvents);
    if (watch < 0) return;
    watches_[watch] = directory;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        if (isHiddenName(it->path().filename().string())) continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            watchTree(it->path(), reportFiles);
        } else if (reportFiles && it->is_regular_file(typeError)) {
            report(it->path());
        }
    }
}

std::filesystem::path FolderWatcher::nearestExistingParent() const {
    auto parent = folder_.parent_path();
    while (!parent.empty() && !isDirectory(parent) && parent != parent.root_path())
        parent = parent.parent_path();
    return parent;
}

std::filesystem::path FolderWatcher::watchParentOfMissingFolder() {
    const auto parent = nearestExistingParent();
    if (!parent.empty()) parentWatch_ = ::inotify_add_watch(inotify_, parent.c_str(), kParentEvents);
    return parent;
}

void FolderWatcher::dropWatches() {
    for (const auto& [watch, directory] : watches_) ::inotify_rm_watch(inotify_, watch);
    watches_.clear();
    if (parentWatch_ >= 0) ::inotify_rm_watch(inotify_, parentWatch_);
    parentWatch_ = -1;
}

void FolderWatcher::report(const std::filesystem::path& file) {
    const auto relative = file.lexically_relative(folder_);
    for (const auto& part : relative) {
        if (isHiddenName(part.string())) return;
    }
    handler_(relative.string());
}

}  // namespace platform
