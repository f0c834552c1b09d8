#include "platform/ensembles/cde_icloud_file_system.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/ensembles/cde_notifications.h"
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

bool isHidden(const std::filesystem::path& path) {
    const auto name = path.filename().string();
    return !name.empty() && name.front() == '.';
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
    if (!std::filesystem::is_directory(folder))
        return fail(error, 101, "cannot create " + folder.string() + ": " + ec.message());
    return true;
}

std::optional<std::vector<std::string>> CDEICloudFileSystem::contentsOfDirectoryAtPath(
    const std::string& path, std::shared_ptr<NSError>* error) const {
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(container_ / path, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (!isHidden(it->path())) names.push_back(it->path().filename().string());
    }
    // A folder not made yet holds nothing: a new or wiped cloud folder is not a fault.
    if (ec == std::errc::no_such_file_or_directory) return std::vector<std::string>{};
    if (ec) {
        fail(error, 102, "cannot list " + (container_ / path).string() + ": " + ec.message());
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> CDEICloudFileSystem::readFileAtPath(const std::string& path,
                                                               std::shared_ptr<NSError>* error) const {
    std::ifstream in(container_ / path, std::ios::binary);
    std::ostringstream contents;
    if (in) contents << in.rdbuf();
    if (!in || in.bad()) {
        fail(error, 103, "cannot read " + (container_ / path).string());
        return std::nullopt;
    }
    return contents.str();
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

void CDEICloudFileSystem::startMonitoringDownloads(ExistingFiles existing) {
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
    // The watcher's thread holds no strong reference: the file system must never end on it.
    watcher_ = std::make_unique<FolderWatcher>(
        container_,
        [weak = weak_from_this()](const std::string& path) {
            DispatchQueue::main()->async([weak, path] {
                if (auto self = weak.lock()) self->fileArrived(path);
            });
        },
        existing == ExistingFiles::Announce ? FolderWatcher::ExistingFiles::Report
                                            : FolderWatcher::ExistingFiles::Ignore);
}

void CDEICloudFileSystem::fileArrived(const std::string& path) {
    std::shared_ptr<ArrivalDebouncer> arrivals;
    {
        MutexLock lock(mutex_);
        if (written_.count(path)) return;
        arrivals = arrivals_;
    }
    arrivals->noteArrival();
}

}  // namespace platform
