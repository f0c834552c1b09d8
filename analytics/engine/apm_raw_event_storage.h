#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/engine/apm_event_intake.h"
#include "analytics/engine/apm_raw_event_metadata.h"
#include "analytics/records/apm_event.h"
#include "analytics/storage/apm_raw_event_row.h"
#include "platform/foundation/mutex.h"

namespace analytics {

class APMDatabase;
class APMScheduler;

// The engine's own intake: every event it takes in is stored as a raw event with the fingerprint of the
// metadata in force. An event becomes its row on the thread that made it, while its parameters are at
// hand, and the record is let go there; the rows wait for the worker queue. The rows waiting together are
// stored in one transaction, each with its metadata stored unless known and the row inserted, then the
// oldest events beyond the limit trimmed once, which leaves the same rows as trimming before each insert
// (a row stored alone is trimmed for first). Should that transaction fail, they are stored again one
// transaction each, so an event that cannot be stored costs only itself.
class APMRawEventStorage final : public APMEventIntake,
                                 public std::enable_shared_from_this<APMRawEventStorage> {
public:
    APMRawEventStorage(APMScheduler& scheduler, std::string appID);

    // Where events are stored from now on, on the worker queue; without a database they are dropped.
    void setDatabase(std::shared_ptr<APMDatabase> database);
    void takeEvent(APMEvent event) override;
    void takeEvents(std::vector<APMEvent>&& events) override;

private:
    // The block that stores the rows waiting, when none is queued.
    void scheduleStore();
    void storePendingEvents() EXCLUDES(pendingMutex_);
    void store(const std::vector<APMRawEventRow>& rows);
    bool storeRows(const std::vector<APMRawEventRow>& rows);
    // Without a limit the caller trims once for the whole transaction.
    bool storeRow(const APMRawEventRow& row, std::optional<std::int64_t> rawEventsLimit);

    APMScheduler& scheduler_;
    APMRawEventMetadata metadata_;          // worker queue only
    std::shared_ptr<APMDatabase> database_;  // worker queue only
    std::size_t lastBatchSize_ = 0;          // worker queue only
    platform::Mutex pendingMutex_;
    std::vector<APMRawEventRow> pending_ GUARDED_BY(pendingMutex_);
    bool storeScheduled_ GUARDED_BY(pendingMutex_) = false;
};

}  // namespace analytics
