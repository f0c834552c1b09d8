#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/interface/dzr_app.h"
#include "analytics/storage/apm_database.h"
#include "bench/bench_folder.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/pending_work.h"

namespace quorvel::bench {

// Until the analytics library's queues have no work left.
inline void waitUntilSettled() {
    while (!platform::PendingWork::shared().idle())
        platform::PendingWork::shared().waitForChange(std::chrono::milliseconds(10));
}

// One data root for the whole process, removed at exit: the engine is made once per process and keeps
// its database open, so the root must outlive every run. Never destroyed: the removal at exit runs after
// the process's statics are gone. Aborts when no folder can be made.
inline const std::filesystem::path& processDataRoot() {
    static const auto* root = [] {
        std::string folder = freshFolder();
        if (folder.empty()) std::abort();
        platform::DataRoot::setPath(folder);
        std::atexit([] { std::filesystem::remove_all(processDataRoot()); });
        return new std::filesystem::path(folder);
    }();
    return *root;
}

// The analytics library started on the process's data root, its start finished; null without an engine.
inline std::shared_ptr<analytics::APMMeasurement> startedEngine() {
    processDataRoot();
    analytics::DZRApp::configure();
    waitUntilSettled();
    return analytics::APMMeasurement::sharedInstance();
}

// The row of the newest raw event stored (0 for none), read on the engine's worker queue: it grows by
// one for each event stored, whatever the trim deleted.
inline std::int64_t newestRawEventRow(analytics::APMMeasurement& engine) {
    std::int64_t row = 0;
    engine.scheduler().dispatchSyncOnWorkerQueueBlockID("bench", [&] {
        if (!engine.database() || !engine.database()->sqliteStore()) return;
        const auto newest = engine.database()->sqliteStore()->numberForQuery(
            "SELECT max(rowid) FROM raw_events", {}, nullptr);
        if (newest) row = newest->intValue().value_or(0);
    });
    return row;
}

}  // namespace quorvel::bench
