#pragma once

#include <sqlite3.h>

#include <array>
#include <cstddef>

#include "platform/foundation/mutex.h"

namespace quorvel::testing {

// A test-only SQLite file system over the default one that fails chosen calls with chosen result
// codes: I/O errors, a full disk, busy locks. While an instance lives it is SQLite's default file
// system, so every connection opened meanwhile goes through it; close them before it goes.
class FaultInjectingVfs {
public:
    enum class Call { Open, Read, Write, Truncate, Sync, Lock, Delete, Count };

    FaultInjectingVfs();
    ~FaultInjectingVfs();
    FaultInjectingVfs(const FaultInjectingVfs&) = delete;
    FaultInjectingVfs& operator=(const FaultInjectingVfs&) = delete;

    // Lets `skip` calls of the kind pass, then fails the next `times` of them (all of them when
    // negative) with `resultCode`.
    void fail(Call call, int resultCode, int skip = 0, int times = -1);
    // Fails the write step at `index` (0 is the next one) with the code that fits its call. Write
    // steps are what changes files: opening a journal, writes, truncations, syncs and deletions.
    void failWriteStep(int index, int fullOrIOError);
    void clear();

    int count(Call call) const;
    int writeSteps() const;
    void resetCounts();

    // The result a call of this kind gets from the rules; SQLITE_OK lets it through. Counts the call.
    int intercept(Call call, bool isWriteStep);
    sqlite3_vfs* wrapped() const { return wrapped_; }

private:
    struct Rule {
        int resultCode = SQLITE_OK;
        int skip = 0;
        int times = 0;
    };

    sqlite3_vfs vfs_{};
    sqlite3_vfs* wrapped_ = nullptr;
    mutable platform::Mutex mutex_;
    std::array<int, static_cast<std::size_t>(Call::Count)> counts_ GUARDED_BY(mutex_){};
    std::array<Rule, static_cast<std::size_t>(Call::Count)> rules_ GUARDED_BY(mutex_){};
    int writeSteps_ GUARDED_BY(mutex_) = 0;
    int failingWriteStep_ GUARDED_BY(mutex_) = -1;
    int writeStepCode_ GUARDED_BY(mutex_) = SQLITE_OK;
};

}  // namespace quorvel::testing
