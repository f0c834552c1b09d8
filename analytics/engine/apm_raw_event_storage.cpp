#include "analytics/engine/apm_raw_event_storage.h"

#include <utility>

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
    APMRawEventRow row(event);
    {
        platform::MutexLock lock(pendingMutex_);
        pending_.push_back(std::move(row));
        if (std::exchange(storeScheduled_, true)) return;
    }
    scheduleStore();
}

void APMRawEventStorage::takeEvents(std::vector<APMEvent>&& events) {
    if (events.empty()) return;
    std::vector<APMRawEventRow> rows;
    rows.reserve(events.size());
    for (const APMEvent& event : events) rows.emplace_back(event);
    {
        platform::MutexLock lock(pendingMutex_);
        pending_.insert(pending_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
        if (std::exchange(storeScheduled_, true)) return;
    }
    scheduleStore();
}

void APMRawEventStorage::scheduleStore() {
    // Queued behind the rows already waiting, so that they are stored together.
    scheduler_.scheduleOnWorkerQueueBlockID("APMRawEventStorage:storePendingEvents",
                                            [weakSelf = weak_from_this()] {
                                                if (auto self = weakSelf.lock()) self->storePendingEvents();
                                            });
}

void APMRawEventStorage::storePendingEvents() {
    // The list left waiting has room for a batch like this one, made outside the lock: rows come in
    // bursts, and a list growing from empty under the lock moves its rows over and over.
    std::vector<APMRawEventRow> next;
    next.reserve(lastBatchSize_);
    auto rows = std::make_shared<std::vector<APMRawEventRow>>();
    {
        platform::MutexLock lock(pendingMutex_);
        rows->swap(pending_);
        pending_.swap(next);
        storeScheduled_ = false;
    }
    lastBatchSize_ = rows->size();
    store(*rows);
    // Freeing rows made on another thread is slow here, and this queue is the one that keeps the rows
    // waiting: a thread of the global queue frees them, and the next rows are stored sooner.
    platform::DispatchQueue::global()->async([rows = std::move(rows)] {});
}

void APMRawEventStorage::store(const std::vector<APMRawEventRow>& rows) {
    if (!database_) {
        monitor()->logWithLevel(APMLogLevel::Debug, 23012, "Measurement database is not open. Events dropped",
                                static_cast<std::int64_t>(rows.size()));
        return;
    }
    if (!metadata_.update()) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 23013,
                                "Failed to make event metadata. Events dropped",
                                static_cast<std::int64_t>(rows.size()));
        return;
    }
    if (storeRows(rows) || rows.size() == 1) return;
    for (const APMRawEventRow& row : rows) storeRows({row});
}

bool APMRawEventStorage::storeRows(const std::vector<APMRawEventRow>& rows) {
    // A fetched configuration is applied on this queue too, so one reading holds for the transaction.
    const std::int64_t rawEventsLimit = database_->rawEventsLimit();
    // Trimming before each insert keeps the newest rawEventsLimit events, always leaving the newest row
    // (and with it the next row ID) in place when the limit keeps any: so one trim after the inserts
    // leaves the same rows, and costs one statement instead of one for each event.
    const bool trimOnce = rows.size() > 1 && rawEventsLimit > 1;
    return database_->performTransaction([&] {
        for (const APMRawEventRow& row : rows) {
            if (!storeRow(row, trimOnce ? std::nullopt : std::optional(rawEventsLimit))) return false;
        }
        std::shared_ptr<platform::NSError> error;
        if (!trimOnce || database_->keepNewestRawEvents(rawEventsLimit, &error)) return true;
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 23025, "Failed to trim stored events. Error",
                                error);
        return false;
    });
}

bool APMRawEventStorage::storeRow(const APMRawEventRow& row, std::optional<std::int64_t> rawEventsLimit) {
    std::shared_ptr<platform::NSError> error;
    if (database_->insertIfNotExistsRawEventMetadata(metadata_.encoding(), metadata_.fingerprint(), &error) &&
        (!rawEventsLimit || database_->deleteRawEventsOverAbsoluteLimit(*rawEventsLimit, &error)) &&
        database_->insertRawEvent(row, metadata_.fingerprint(), &error)) {
        return true;
    }
    monitor()->logWithLevel(APMLogLevel::MonitoredError, 23014, "Failed to store event. Event name, error",
                            APMLoggableEventName(row.name), error);
    return false;
}

}  // namespace analytics
