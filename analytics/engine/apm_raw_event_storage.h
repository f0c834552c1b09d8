#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/engine/apm_event_intake.h"
#include "analytics/engine/apm_raw_event_metadata.h"
#include "analytics/records/apm_event.h"

namespace analytics {

class APMDatabase;
class APMScheduler;

// The engine's own intake: every event it takes in is stored as a raw event with the fingerprint of the
// metadata in force. The events waiting on the worker queue together are stored in one transaction,
// each with its metadata stored unless known and the event inserted, then the oldest events beyond the
// limit trimmed once, which leaves the same rows as trimming before each insert (an event stored alone
// is trimmed for first). Should that transaction fail, they are stored again one transaction
// each, so an event that cannot be stored costs only itself. Everything runs on the worker queue.
class APMRawEventStorage final : public APMEventIntake,
                                 public std::enable_shared_from_this<APMRawEventStorage> {
public:
    APMRawEventStorage(APMScheduler& scheduler, std::string appID);

    // Where events are stored from now on; without a database they are dropped.
    void setDatabase(std::shared_ptr<APMDatabase> database);
    void takeEvent(APMEvent event) override;
    void takeEvents(std::vector<APMEvent>&& events) override;

private:
    void scheduleStore();
    void storePendingEvents();
    void store(const std::vector<APMEvent>& events);
    bool storeEvents(const std::vector<APMEvent>& events);
    // Without a limit the caller trims once for the whole transaction.
    bool storeEvent(const APMEvent& event, std::optional<std::int64_t> rawEventsLimit);

    APMScheduler& scheduler_;
    APMRawEventMetadata metadata_;
    std::shared_ptr<APMDatabase> database_;
    std::vector<APMEvent> pending_;
    bool storeScheduled_ = false;
};

}  // namespace analytics
