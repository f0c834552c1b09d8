#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ensembles/arrival_debouncer.h"
#include "platform/ensembles/folder_watcher.h"
#include "platform/foundation/binary_property_list.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"

namespace platform {

// The cloud stand-in: a folder shared between machines by any file synchroniser. The root is
// $QUORVEL_CLOUD, else a folder beside the data root named after it with "-cloud"; the container is
// a folder in it, named by the container identifier or, without one, by the bundle identifier.
// Paths given to the operations are relative to the container. Thread-safe.
class CDEICloudFileSystem : public std::enable_shared_from_this<CDEICloudFileSystem> {
public:
    // Files arrive in bursts (another machine's merge, or one file a synchroniser writes in pieces): they
    // are announced once the folder has been quiet this long, or this long after the first in a stream.
    static constexpr double kArrivalQuietPeriod = 0.5;
    static constexpr double kLongestArrivalWait = 3.0;
    // The largest file read from the folder. Other programs write there: a file above it is refused
    // rather than read into memory. It is the most a property-list reader takes from one file, so no
    // change file ever written (a whole store in one file, as older versions wrote) is refused; today's
    // hold at most ten thousand records, about a megabyte.
    static constexpr std::uintmax_t kLargestFileRead = BinaryPropertyList::kMaxExpandedSize;

    // Tells one version of a file from another without reading it.
    struct FileStamp {
        std::uintmax_t size = 0;
        std::int64_t modifiedNanoseconds = 0;
        std::uint64_t inode = 0;
        bool operator==(const FileStamp&) const = default;
    };

    // Whether the files already in the folder when monitoring starts count as downloads.
    enum class ExistingFiles { AlreadyTaken, Announce };

    explicit CDEICloudFileSystem(const std::optional<std::string>& ubiquityContainerIdentifier);
    ~CDEICloudFileSystem();

    static std::filesystem::path cloudRoot();
    const std::filesystem::path& containerDirectory() const { return container_; }

    bool createDirectoryAtPath(const std::string& path, std::shared_ptr<NSError>* error);
    // Names in the folder, sorted, without hidden files (half-written files are hidden); none for a
    // folder that does not exist. A link is no folder: no link below the container is followed.
    std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(const std::string& path,
                                                                      std::shared_ptr<NSError>* error) const;
    // Reads a regular file of at most kLargestFileRead bytes; anything else (a link, a FIFO, a device, a
    // larger file) is refused, with the reason in the error, without waiting on it.
    std::optional<std::string> readFileAtPath(const std::string& path, std::shared_ptr<NSError>* error) const;
    // The stamp of whatever is at the path (a link itself, not what it leads to); none when nothing is.
    std::optional<FileStamp> stampOfFileAtPath(const std::string& path) const;
    // Writes a hidden temporary file, flushes it to disk and renames it into place.
    bool writeFileAtPath(const std::string& path, const std::string& contents,
                         std::shared_ptr<NSError>* error);

    // Needs the file system to be held by a shared_ptr. From now on, files that another installation
    // writes into a device's folder in `changesFolder` (a path in the container) (and, with Announce,
    // those already there) are announced on the main thread: the progress notification when the first of
    // a burst arrives, the download notification once the burst is over. Files written through this
    // object are never announced. Only that folder, the folders on the way to it from the container and
    // the devices' folders in it are watched: whatever else the shared folder holds costs nothing.
    // Calling it again does nothing. The container, or a missing folder on the way to it, appearing counts
    // as a download: an empty folder that came back lacks what this installation holds.
    void startMonitoringDownloads(const std::string& changesFolder, ExistingFiles existing);
    // Called at each merge: when the folder could not be watched whole, tries again.
    void retryMonitoringDownloads();

private:
    // On the watcher's thread.
    void fileArrived(const std::string& path);
    void announceArrival();

    std::filesystem::path container_;
    mutable Mutex mutex_;
    // The files written here, by path in the container: this installation's own, whenever they appear.
    std::set<std::string> written_ GUARDED_BY(mutex_);
    std::shared_ptr<ArrivalDebouncer> arrivals_ GUARDED_BY(mutex_);
    // Arrivals wait in one block on the main queue, however many files a walk reports.
    bool arrivalQueued_ GUARDED_BY(mutex_) = false;
    std::unique_ptr<FolderWatcher> watcher_ GUARDED_BY(mutex_);
};

}  // namespace platform
