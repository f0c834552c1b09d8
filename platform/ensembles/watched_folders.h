#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The folders of a tree that hold an inotify watch, by watch descriptor. Each is kept as its parent's
// watch and its own name, so memory grows with the number of folders, not with the lengths of their
// paths; and each folder (device and inode) is held once, however many ways lead to it.
class WatchedFolders {
public:
    static constexpr int kNoParent = -1;

    struct Folder {
        int parent = kNoParent;  // kNoParent for the top folder
        std::string name;        // empty for the top folder
        dev_t device = 0;
        ino_t inode = 0;
    };

    void add(int watch, Folder folder);
    const Folder* find(int watch) const;
    std::optional<int> watchOf(dev_t device, ino_t inode) const;
    // The folder now lies under another parent or name (it was moved within the tree).
    void move(int watch, int parent, std::string name);
    // Removes the folder and every folder held below it; returns their watches.
    std::vector<int> removeTree(int watch);
    // Removes every folder; returns their watches.
    std::vector<int> clear();
    std::size_t size() const { return folders_.size(); }

    // The folder's path below the top folder, or none when a folder on the way is no longer held.
    std::optional<std::filesystem::path> relativePath(int watch) const;
    // How many folders down from the top folder it is (the top folder is 0), or none as above.
    std::optional<int> depth(int watch) const;

private:
    std::map<int, Folder> folders_;
    std::map<std::pair<dev_t, ino_t>, int> byInode_;
};

}  // namespace platform
