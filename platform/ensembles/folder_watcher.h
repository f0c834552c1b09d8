#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace platform {

// Watches a folder tree with inotify on a thread of its own and reports every file that is written and
// closed, or moved in, anywhere in it, by its path relative to the folder. Hidden files and files in
// hidden folders are not reported: half-written files are kept hidden. The folder need not exist:
// its nearest existing parent is watched until it appears, and again after it is deleted. A folder
// that appears (or reappears) has every file in it reported, since files may land in it before it is
// watched.
class FolderWatcher {
public:
    // Called on the watcher's thread (for files already there, by the constructor); it should only hand
    // the path on.
    using Handler = std::function<void(const std::string& relativePath)>;
    enum class ExistingFiles { Ignore, Report };

    FolderWatcher(std::filesystem::path folder, Handler handler, ExistingFiles existing);
    // Stops the thread and waits for it; the handler is not called afterwards.
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // False when inotify could not be set up; nothing is reported then.
    bool isWatching() const { return inotify_ >= 0; }

private:
    void run();
    void handleEvents();
    void arm(bool reportFiles);
    void watchTree(const std::filesystem::path& directory, bool reportFiles);
    // Watches the nearest folder on the way to the missing one that exists; returns it.
    std::filesystem::path watchParentOfMissingFolder();
    std::filesystem::path nearestExistingParent() const;
    void dropWatches();
    void report(const std::filesystem::path& file);

    const std::filesystem::path folder_;
    const Handler handler_;
    int inotify_ = -1;
    int wake_ = -1;
    // Watch descriptor → the directory it watches (absolute).
    std::map<int, std::filesystem::path> watches_;
    // The watch on the parent while the folder is missing, or -1.
    int parentWatch_ = -1;
    std::thread thread_;
};

}  // namespace platform
