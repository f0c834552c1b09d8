#include "platform/ensembles/watched_folders.h"

namespace platform {

void WatchedFolders::add(int watch, Folder folder) {
    byInode_[{folder.device, folder.inode}] = watch;
    folders_[watch] = std::move(folder);
}

const WatchedFolders::Folder* WatchedFolders::find(int watch) const {
    const auto found = folders_.find(watch);
    return found == folders_.end() ? nullptr : &found->second;
}

std::optional<int> WatchedFolders::watchOf(dev_t device, ino_t inode) const {
    const auto found = byInode_.find({device, inode});
    if (found == byInode_.end()) return std::nullopt;
    return found->second;
}

void WatchedFolders::move(int watch, int parent, std::string name) {
    const auto found = folders_.find(watch);
    if (found == folders_.end()) return;
    found->second.parent = parent;
    found->second.name = std::move(name);
}

std::vector<int> WatchedFolders::removeTree(int watch) {
    std::vector<int> removed;
    if (!folders_.count(watch)) return removed;
    removed.push_back(watch);
    // Breadth first: each pass takes the children of the folders removed so far.
    for (std::size_t next = 0; next < removed.size(); ++next) {
        for (const auto& [child, folder] : folders_) {
            if (folder.parent == removed[next]) removed.push_back(child);
        }
    }
    for (const int gone : removed) {
        const auto& folder = folders_.at(gone);
        byInode_.erase({folder.device, folder.inode});
        folders_.erase(gone);
    }
    return removed;
}

std::vector<int> WatchedFolders::clear() {
    std::vector<int> watches;
    for (const auto& [watch, folder] : folders_) watches.push_back(watch);
    folders_.clear();
    byInode_.clear();
    return watches;
}

std::optional<std::filesystem::path> WatchedFolders::relativePath(int watch) const {
    std::vector<const std::string*> names;
    // A chain longer than the folders held would be a loop.
    for (const Folder* folder = find(watch); folder; folder = find(folder->parent)) {
        if (folder->parent == kNoParent) {
            std::filesystem::path path;
            for (auto name = names.rbegin(); name != names.rend(); ++name) path /= **name;
            return path;
        }
        if (names.size() >= folders_.size()) return std::nullopt;
        names.push_back(&folder->name);
    }
    return std::nullopt;
}

std::optional<int> WatchedFolders::depth(int watch) const {
    int levels = 0;
    for (const Folder* folder = find(watch); folder; folder = find(folder->parent)) {
        if (folder->parent == kNoParent) return levels;
        if (static_cast<std::size_t>(++levels) > folders_.size()) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace platform
