#pragma once

#include <string>
#include <vector>

namespace quorvel::soak {

// The child processes of a walk, as this program runs them again. Each reads its steps on descriptor
// 3 and answers on descriptor 4, one line each, and returns the process's exit status.
class LifeEntry {
public:
    // One life of the app from the files on disk: its launch is answered first, then each step, until
    // a quit (or the walk's end) closes it. A kill comes from outside.
    static int life(double start, const std::vector<std::string>& shellArguments);
    // A second installation on its own data root and the walk's shared folder: launches, stores
    // `sessions` focus sessions of 25 minutes stamped before `start`, lets them sync, answers with them
    // and quits.
    static int secondInstallation(const std::string& root, double start, int sessions);
};

}  // namespace quorvel::soak
