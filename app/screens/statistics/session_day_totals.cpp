#include "app/screens/statistics/session_day_totals.h"

#include <algorithm>
#include <cmath>

#include "app/core/formatting_helpers.h"
#include "app/core/session_store_summary.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr const char* kSession = "Session";

Value valueOf(const Value::Dictionary& values, const std::string& key) {
    const auto found = values.find(key);
    return found == values.end() ? Value() : found->second;
}

// Adds sessions to their days. Sessions mostly come in the order they ended, so consecutive ones mostly
// share a day, or fall on the next: the day found last is kept with its end, and the calendar is asked
// for a day's start only when a session falls on neither.
class DayGrouping {
public:
    explicit DayGrouping(DayNumbers& days) : days_(days) {}

    void add(const Value& timestamp, const Value& duration) {
        const auto date = timestamp.dateValue();
        // A session without a real time belongs to no day.
        if (!date || !std::isfinite(date->timeIntervalSinceReferenceDate())) return;
        if (!record_ || *date < dayStart_) {
            const NSDate start = startOfDay(*date);
            enter(start, dateByAddingDays(start, 1));
        } else if (!(*date < nextDayStart_)) {
            // A start of day moved by whole days stays one.
            const NSDate following = dateByAddingDays(nextDayStart_, 1);
            const NSDate start = *date < following ? nextDayStart_ : startOfDay(*date);
            enter(start, start == nextDayStart_ ? following : dateByAddingDays(start, 1));
        }
        record_->pomodoros = addSaturating(record_->pomodoros, 1);
        // A damaged or foreign record cannot take minutes away from a day.
        record_->minutes = addSaturating(record_->minutes, std::max<std::int64_t>(duration.intValue().value_or(0), 0));
    }

private:
    void enter(NSDate start, NSDate end) {
        dayStart_ = start;
        nextDayStart_ = end;
        record_ = &days_[start];
    }

    DayNumbers& days_;
    NSDate dayStart_, nextDayStart_;
    DayNumber* record_ = nullptr;
};

}  // namespace

std::shared_ptr<SessionDayTotals> SessionDayTotals::make() {
    SessionStoreSummary::watchSaves();
    std::shared_ptr<SessionDayTotals> totals(new SessionDayTotals());
    NSNotificationCenter::defaultCenter().addObserver(
        totals.get(), NSManagedObjectContextDidSaveNotification,
        [weak = totals->weak_from_this()](const NSNotification& note) {
            if (auto self = weak.lock()) self->noteSave(note);
        });
    return totals;
}

SessionDayTotals::~SessionDayTotals() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

DayNumbers SessionDayTotals::figures(NSManagedObjectContext& context) {
    const auto& coordinator = context.persistentStoreCoordinator();
    if (!coordinator) return {};
    bool readAgain = false;
    {
        MutexLock lock(mutex_);
        readAgain = readAgain_;
    }
    if (readAgain || zone_ != NSTimeZone::defaultTimeZone() || storeIdentifier_ != coordinator->storeIdentifier())
        readAll(*coordinator);
    // A failed read shows no sessions rather than some of them.
    if (readFailed_) return {};
    takeArrivals();
    DayNumbers days = stored_;
    DayGrouping unsaved(days);
    for (const auto& object : context.insertedObjects()) {
        if (object->entity().name() == kSession)
            unsaved.add(object->valueForKey("timestamp"), object->valueForKey("duration"));
    }
    return days;
}

void SessionDayTotals::readAll(NSPersistentStoreCoordinator& coordinator) {
    {
        MutexLock lock(mutex_);
        // From here on a save is either in what is read or heard afterwards, never lost.
        readAgain_ = false;
        storeURL_ = coordinator.storeURL().lexically_normal();
    }
    const auto readBegan = SessionStoreSummary::readBegins();
    zone_ = NSTimeZone::defaultTimeZone();
    storeIdentifier_ = coordinator.storeIdentifier();
    const auto entity = coordinator.managedObjectModel()->entityNamed(kSession);
    const auto timestamp = entity ? entity->indexOfAttribute("timestamp") : std::nullopt;
    const auto duration = entity ? entity->indexOfAttribute("duration") : std::nullopt;
    readFailed_ = !timestamp || !duration;
    if (readFailed_) {
        stored_.clear();
        return;
    }
    const std::vector<std::size_t> columns{*timestamp, *duration};
    const auto text = SessionStoreSummary::read();
    auto summary = text ? SessionDayTotalsFile::parse(*text) : std::nullopt;
    if (summary && (summary->storeIdentifier != storeIdentifier_ || summary->timeZone != zone_->name() ||
                    summary->lastRow == 0))
        summary.reset();
    const bool fromSummary = summary && readOnto(&*summary, coordinator, *entity, columns);
    readFailed_ = !fromSummary && !readOnto(nullptr, coordinator, *entity, columns);
    if (readFailed_) {
        stored_.clear();
        MutexLock lock(mutex_);
        readAgain_ = true;
    } else if (!fromSummary || lastRowRead_ != summary->lastRow) {
        SessionStoreSummary::write(this->summary().text(), readBegan);
    }
}

bool SessionDayTotals::readOnto(const SessionDayTotalsFile* summary, NSPersistentStoreCoordinator& coordinator,
                                const NSEntityDescription& entity, const std::vector<std::size_t>& columns) {
    stored_ = summary ? summary->days : DayNumbers();
    lastRowRead_ = 0;
    lastTimestampRead_ = lastDurationRead_ = Value();
    bool lastRowHeld = !summary;
    DayGrouping grouping(stored_);
    // Two values of every session, in store order: the sums need no order, and sorting costs as much
    // as reading. The summary's own last row comes first, to be compared, not counted.
    const bool read = coordinator.fetchEach(
        entity, nullptr, {}, &columns,
        [&](std::int64_t row, std::vector<Value>& values) {
            if (summary && lastRowRead_ == 0) {
                lastRowHeld = row == summary->lastRow && values[0] == summary->lastTimestamp &&
                              values[1] == summary->lastDuration;
                lastRowRead_ = row;
                lastTimestampRead_ = values[0];
                lastDurationRead_ = values[1];
                return;
            }
            if (!lastRowHeld) return;
            if (row > lastRowRead_) {
                lastRowRead_ = row;
                lastTimestampRead_ = values[0];
                lastDurationRead_ = values[1];
            }
            grouping.add(values[0], values[1]);
        },
        nullptr, summary ? summary->lastRow - 1 : 0);
    return read && lastRowHeld;
}

SessionDayTotalsFile SessionDayTotals::summary() const {
    return {storeIdentifier_, zone_ ? zone_->name() : "", lastRowRead_, lastTimestampRead_, lastDurationRead_, stored_};
}

// Sessions are never deleted, so a session stored after a read has a row above every row it read;
// one at or below was read already.
void SessionDayTotals::takeArrivals() {
    std::vector<Arrival> arrivals;
    {
        MutexLock lock(mutex_);
        arrivals.swap(arrivals_);
    }
    DayGrouping grouping(stored_);
    for (const auto& arrival : arrivals) {
        if (arrival.row > lastRowRead_) grouping.add(arrival.timestamp, arrival.duration);
    }
}

// Any thread: a merge saves on the sync's own queue.
void SessionDayTotals::noteSave(const NSNotification& notification) {
    const auto* saved = notification.objectAs<NSManagedObjectContextDidSave>();
    if (!saved) return;
    std::vector<Arrival> arrivals;
    for (const auto& snapshot : saved->insertedObjects) {
        if (snapshot.objectID.entityName == kSession)
            arrivals.push_back(
                {snapshot.objectID.row, valueOf(snapshot.values, "timestamp"), valueOf(snapshot.values, "duration")});
    }
    // What a changed session counted before is not known here.
    const bool changed = std::any_of(saved->updatedObjects.begin(), saved->updatedObjects.end(),
                                     [](const auto& snapshot) { return snapshot.objectID.entityName == kSession; });
    if (arrivals.empty() && !changed) return;
    MutexLock lock(mutex_);
    if (storeURL_.empty() || saved->storeURL.lexically_normal() != storeURL_) return;
    arrivals_.insert(arrivals_.end(), std::make_move_iterator(arrivals.begin()), std::make_move_iterator(arrivals.end()));
    readAgain_ = readAgain_ || changed;
}

}  // namespace quorvel
