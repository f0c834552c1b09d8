#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/dispatch_source_timer.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"

namespace platform {

// The cloud stand-in: a folder shared between machines by any file synchroniser. The root is
// $QUORVEL_CLOUD, else a folder beside the data root named after it with "-cloud"; the container is
// a folder in it, named by the container identifier or, without one, by the bundle identifier.
// Paths given to the operations are relative to the container. Thread-safe.
class CDEICloudFileSystem : public std::enable_shared_from_this<CDEICloudFileSystem> {
public:
    // How often the folder is looked at for files that other machines put there. Each look lists every
    // change file, and the manager merges every two minutes anyway: half a minute is soon enough.
    static constexpr double kDownloadPollInterval = 30.0;

    explicit CDEICloudFileSystem(const std::optional<std::string>& ubiquityContainerIdentifier);
    ~CDEICloudFileSystem();

    static std::filesystem::path cloudRoot();
    const std::filesystem::path& containerDirectory() const { return container_; }

    bool createDirectoryAtPath(const std::string& path, std::shared_ptr<NSError>* error);
    // Names in the folder, sorted, without hidden files (half-written files are hidden); none for a
    // folder that does not exist.
    std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(const std::string& path,
                                                                      std::shared_ptr<NSError>* error) const;
    std::optional<std::string> readFileAtPath(const std::string& path, std::shared_ptr<NSError>* error) const;
    // Writes a hidden temporary file, flushes it to disk and renames it into place.
    bool writeFileAtPath(const std::string& path, const std::string& contents,
                         std::shared_ptr<NSError>* error);

    // Needs the file system to be held by a shared_ptr. From now on, files that appear or change in the
    // container without being written here are announced with the download notifications. Calling it again
    // does nothing.
    void startMonitoringDownloads();

private:
    using Snapshot = std::map<std::string, std::uintmax_t>;
    Snapshot takeSnapshot() const;
    void pollForDownloads();

    std::filesystem::path container_;
    mutable Mutex mutex_;
    Snapshot known_ GUARDED_BY(mutex_);
    std::shared_ptr<DispatchSourceTimer> monitor_ GUARDED_BY(mutex_);
};

}  // namespace platform
