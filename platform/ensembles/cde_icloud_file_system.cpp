#include "platform/ensembles/cde_icloud_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/ensembles/cde_notifications.h"
#include "platform/ensembles/open_beneath.h"
#include "platform/foundation/atomic_file.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_notification_center.h"

namespace platform {

namespace {

constexpr const char* kDomain = "CDEErrorDomain";

bool fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& reason) {
    if (error) *error = NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
    return false;
}

bool isHidden(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

bool isLink(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_symlink(path, ec);
}

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

// Reads the open file to its end, refusing it once it grows past `largest`; empty on success, else why.
std::string readAll(int fd, std::uintmax_t largest, std::string& contents) {
    char buffer[64 * 1024];
    for (;;) {
        const auto length = ::read(fd, buffer, sizeof buffer);
        if (length == 0) return {};
        if (length < 0) {
            if (errno == EINTR) continue;
            return std::strerror(errno);
        }
        if (contents.size() + static_cast<std::size_t>(length) > largest)
            return "grew larger than " + std::to_string(largest) + " bytes while read";
        contents.append(buffer, static_cast<std::size_t>(length));
    }
}

}  // namespace

CDEICloudFileSystem::CDEICloudFileSystem(const std::optional<std::string>& ubiquityContainerIdentifier)
    : container_(cloudRoot() /
                 ubiquityContainerIdentifier.value_or(NSBundle::mainBundle()->bundleIdentifier())) {}

CDEICloudFileSystem::~CDEICloudFileSystem() = default;

std::filesystem::path CDEICloudFileSystem::cloudRoot() {
    if (const char* set = std::getenv("QUORVEL_CLOUD"); set && *set) return set;
    auto root = DataRoot::path();
    if (root.filename().empty()) root = root.parent_path();
    return root.parent_path() / (root.filename().string() + "-cloud");
}

bool CDEICloudFileSystem::createDirectoryAtPath(const std::string& path, std::shared_ptr<NSError>* error) {
    std::error_code ec;
    const auto folder = container_ / path;
    std::filesystem::create_directories(folder, ec);
    if (std::filesystem::is_directory(folder)) return true;
    return fail(error, 101, "cannot create " + folder.string() + ": " + ec.message());
}

std::optional<std::vector<std::string>> CDEICloudFileSystem::contentsOfDirectoryAtPath(
    const std::string& path, std::shared_ptr<NSError>* error) const {
    const auto folder = container_ / path;
    const int fd = openBeneath(container_, path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    // A folder not made yet holds nothing: a new or wiped cloud folder is not a fault.
    if (fd < 0 && errno == ENOENT) return std::vector<std::string>{};
    if (fd < 0) {
        const std::string why = errno == ELOOP || isLink(folder) ? "a link, not a folder" : std::strerror(errno);
        fail(error, 102, "cannot list " + folder.string() + ": " + why);
        return std::nullopt;
    }
    DIR* directory = ::fdopendir(fd);
    if (!directory) {
        ::close(fd);
        fail(error, 102, "cannot list " + folder.string());
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && !isHidden(name)) names.push_back(name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

// Another program may have put anything there: the file is opened without following a link and without
// waiting (on a FIFO, say), and read only when it is a regular file of a size a change file can have.
std::optional<std::string> CDEICloudFileSystem::readFileAtPath(const std::string& path,
                                                               std::shared_ptr<NSError>* error) const {
    const auto file = container_ / path;
    const int fd = openBeneath(container_, path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
    std::string why;
    std::string contents;
    struct stat status{};
    if (fd < 0) {
        why = errno == ELOOP || isLink(file) ? "a link, not a file" : std::strerror(errno);
    } else if (::fstat(fd, &status) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        why = kindOf(status.st_mode) + ", not a file";
    } else if (static_cast<std::uintmax_t>(status.st_size) > kLargestFileRead) {
        why = "larger than " + std::to_string(kLargestFileRead) + " bytes";
    } else {
        contents.reserve(static_cast<std::size_t>(status.st_size));
        why = readAll(fd, kLargestFileRead, contents);
    }
    if (fd >= 0) ::close(fd);
    if (!why.empty()) {
        fail(error, 103, "cannot read " + file.string() + ": " + why);
        return std::nullopt;
    }
    return contents;
}

std::optional<CDEICloudFileSystem::FileStamp> CDEICloudFileSystem::stampOfFileAtPath(const std::string& path) const {
    // O_PATH opens without reading, so a FIFO or a device does not hold us up.
    const int fd = openBeneath(container_, path, O_PATH | O_NOFOLLOW);
    if (fd < 0) return std::nullopt;
    struct stat status{};
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!known) return std::nullopt;
    return FileStamp{static_cast<std::uintmax_t>(status.st_size),
                     static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(status.st_ino)};
}

bool CDEICloudFileSystem::writeFileAtPath(const std::string& path, const std::string& contents,
                                          std::shared_ptr<NSError>* error) {
    const auto target = container_ / path;
    {
        // Known before it appears, so the monitor never takes our own file for a download.
        MutexLock lock(mutex_);
        written_.insert(target.lexically_relative(container_).string());
    }
    if (AtomicFile::write(target, contents)) return true;
    return fail(error, 104, "cannot write " + target.string());
}

void CDEICloudFileSystem::startMonitoringDownloads(const std::string& changesFolder, ExistingFiles existing) {
    MutexLock lock(mutex_);
    if (watcher_) return;
    arrivals_ = ArrivalDebouncer::create(
        kArrivalQuietPeriod, kLongestArrivalWait,
        [] {
            NSNotificationCenter::defaultCenter().postNotificationName(
                CDEICloudFileSystemDidMakeDownloadProgressNotification);
        },
        [] {
            NSNotificationCenter::defaultCenter().postNotificationName(
                CDEICloudFileSystemDidDownloadFilesNotification);
        });
    // The watcher's thread holds no strong reference, so the file system never ends on it; it ends the
    // watcher, and its thread, before anything else.
    FolderWatcher::Reach reach;
    for (const auto& name : std::filesystem::path(changesFolder)) reach.push_back(name.string());
    reach.push_back(std::nullopt);  // every device's folder
    watcher_ = std::make_unique<FolderWatcher>(
        container_, std::move(reach), [this](const std::string& path) { fileArrived(path); },
        existing == ExistingFiles::Announce ? FolderWatcher::ExistingFiles::Report
                                            : FolderWatcher::ExistingFiles::Ignore,
        [this] { announceArrival(); });
}

void CDEICloudFileSystem::retryMonitoringDownloads() {
    MutexLock lock(mutex_);
    if (watcher_) watcher_->retryIfIncomplete();
}

void CDEICloudFileSystem::fileArrived(const std::string& path) {
    {
        MutexLock lock(mutex_);
        if (written_.count(path)) return;
    }
    announceArrival();
}

void CDEICloudFileSystem::announceArrival() {
    {
        MutexLock lock(mutex_);
        if (arrivalQueued_) return;
        arrivalQueued_ = true;
    }
    DispatchQueue::main()->async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        std::shared_ptr<ArrivalDebouncer> arrivals;
        {
            MutexLock lock(self->mutex_);
            self->arrivalQueued_ = false;
            arrivals = self->arrivals_;
        }
        arrivals->noteArrival();
    });
}

}  // namespace platform
