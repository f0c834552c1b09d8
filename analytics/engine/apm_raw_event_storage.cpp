#include "analytics/engine/apm_raw_event_storage.h"

#include "analytics/foundation/apm_name_maps.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_database.h"
#include "platform/dispatch/dispatch_queue.h"

namespace analytics {

namespace {

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

}  // namespace

APMRawEventStorage::APMRawEventStorage(APMScheduler& scheduler, std::string appID)
    : scheduler_(scheduler), metadata_(std::move(appID)) {}

void APMRawEventStorage::setDatabase(std::shared_ptr<APMDatabase> database) {
    database_ = std::move(database);
}

void APMRawEventStorage::takeEvent(APMEvent event) {
    pending_.push_back(std::move(event));
    scheduleStore();
}

void APMRawEventStorage::takeEvents(std::vector<APMEvent>&& events) {
    // Nothing waiting, the usual case: the list becomes the waiting one without moving each event.
    if (pending_.empty()) {
        pending_.swap(events);
    } else {
        pending_.insert(pending_.end(), std::make_move_iterator(events.begin()),
                        std::make_move_iterator(events.end()));
    }
    if (!pending_.empty()) scheduleStore();
}

void APMRawEventStorage::scheduleStore() {
    if (storeScheduled_) return;
    storeScheduled_ = true;
    // Queued behind the events already waiting, so that they are stored together.
    scheduler_.scheduleOnWorkerQueueBlockID("APMRawEventStorage:storePendingEvents",
                                            [weakSelf = weak_from_this()] {
                                                if (auto self = weakSelf.lock()) self->storePendingEvents();
                                            });
}

void APMRawEventStorage::storePendingEvents() {
    auto events = std::make_shared<std::vector<APMEvent>>();
    events->swap(pending_);
    storeScheduled_ = false;
    store(*events);
    // Freeing records made on another thread is slow here, and this queue is the one that keeps the
    // events waiting: a thread of the global queue frees them, and the next events are stored sooner.
    platform::DispatchQueue::global()->async([events = std::move(events)] {});
}

void APMRawEventStorage::store(const std::vector<APMEvent>& events) {
    if (!database_) {
        monitor()->logWithLevel(APMLogLevel::Debug, 23012, "Measurement database is not open. Events dropped",
                                static_cast<std::int64_t>(events.size()));
        return;
    }
    if (!metadata_.update()) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 23013,
                                "Failed to make event metadata. Events dropped",
                                static_cast<std::int64_t>(events.size()));
        return;
    }
    if (storeEvents(events) || events.size() == 1) return;
    for (const APMEvent& event : events) storeEvents({event});
}

bool APMRawEventStorage::storeEvents(const std::vector<APMEvent>& events) {
    // A fetched configuration is applied on this queue too, so one reading holds for the transaction.
    const std::int64_t rawEventsLimit = database_->rawEventsLimit();
    // Trimming before each insert keeps the newest rawEventsLimit events, always leaving the newest row
    // (and with it the next row ID) in place when the limit keeps any: so one trim after the inserts
    // leaves the same rows, and costs one statement instead of one for each event.
    const bool trimOnce = events.size() > 1 && rawEventsLimit > 1;
    return database_->performTransaction([&] {
        for (const APMEvent& event : events) {
            if (!storeEvent(event, trimOnce ? std::nullopt : std::optional(rawEventsLimit))) return false;
        }
        std::shared_ptr<platform::NSError> error;
        if (!trimOnce || database_->keepNewestRawEvents(rawEventsLimit, &error)) return true;
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 23025, "Failed to trim stored events. Error",
                                error);
        return false;
    });
}

bool APMRawEventStorage::storeEvent(const APMEvent& event, std::optional<std::int64_t> rawEventsLimit) {
    std::shared_ptr<platform::NSError> error;
    if (database_->insertIfNotExistsRawEventMetadata(metadata_.encoding(), metadata_.fingerprint(), &error) &&
        (!rawEventsLimit || database_->deleteRawEventsOverAbsoluteLimit(*rawEventsLimit, &error)) &&
        database_->insertRawEvent(event, metadata_.fingerprint(), event.isRealtime(), &error)) {
        return true;
    }
    monitor()->logWithLevel(APMLogLevel::MonitoredError, 23014, "Failed to store event. Event name, error",
                            APMLoggableEventName(event.name()), error);
    return false;
}

}  // namespace analytics
