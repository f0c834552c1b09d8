#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "tests/soak/walk_step.h"

namespace quorvel::soak {

// The app's session store and sync state copied aside while the app is closed, and put back from that
// copy as a person restores a backup. The store is its one file (a copy of the store alone leaves its
// journal files behind); the sync state is its file with its journal, as it was.
class DataCopy {
public:
    // `storeFolder`: where the app keeps its store; `aside`: where the copy goes.
    DataCopy(std::filesystem::path storeFolder, std::filesystem::path aside);

    // Copies both aside, in place of an earlier copy; false when that fails.
    bool take();
    bool taken() const { return taken_; }
    // Puts back what `restored` names, the journal files of what it replaces removed; false when that
    // fails.
    bool putBack(WalkStep::Restored restored) const;
    // The sessions the copied store holds, by identifier.
    std::set<std::string> storedSessions() const;

private:
    std::filesystem::path stateFolder() const;

    std::filesystem::path storeFolder_;
    std::filesystem::path aside_;
    bool taken_ = false;
};

}  // namespace quorvel::soak
