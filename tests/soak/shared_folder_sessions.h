#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace quorvel::soak {

// The sessions the change files in the shared folder carry, by identifier: the sessions that have left
// the installation they were made on. Only regular files in the devices' folders are read; whatever
// else lies there is passed by, as the app passes it by.
class SharedFolderSessions {
public:
    // `changes`: the folder that holds a folder of change files for each device.
    static std::set<std::string> inChangeFiles(const std::filesystem::path& changes);
};

}  // namespace quorvel::soak
