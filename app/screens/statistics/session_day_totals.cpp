#include "app/screens/statistics/session_day_totals.h"

#include <algorithm>
#include <cmath>

#include "app/core/session_store_summary.h"
#include "app/screens/statistics/day_grouping.h"
#include "app/screens/statistics/session_day_totals_file.h"
#include "platform/dispatch/dispatch_queue.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr const char* kSession = "Session";
// Above this many sessions stored or changed in one save (a merge that brings another installation's
// sessions), the totals are read again off the main thread rather than followed one session at a time.
constexpr std::size_t kMostFollowed = 20000;

Value valueOf(const Value::Dictionary& values, const std::string& key) {
    const auto found = values.find(key);
    return found == values.end() ? Value() : found->second;
}

// A saved session as the store reads it back.
StoredSession sessionOf(const NSManagedObjectSnapshot& snapshot) {
    const auto date = valueOf(snapshot.values, "timestamp").dateValue();
    return {snapshot.objectID.row, date ? std::optional(date->timeIntervalSinceReferenceDate()) : std::nullopt,
            valueOf(snapshot.values, "duration").intValue().value_or(0)};
}

bool sameSession(const StoredSession& session, const Value& timestamp, const Value& duration) {
    const auto date = timestamp.dateValue();
    const std::optional<double> seconds =
        date ? std::optional(date->timeIntervalSinceReferenceDate()) : std::nullopt;
    // A missing duration reads as none, as a stored 0 does not: compare the values themselves.
    const bool sameMinutes = duration.isNull() ? session.minutes == 0 : duration.intValue() == session.minutes;
    return seconds == session.timestamp && sameMinutes;
}

Value timestampValue(const StoredSession& session) {
    return session.timestamp ? Value(NSDate(*session.timestamp)) : Value();
}

std::shared_ptr<DispatchQueue> readingQueue() {
    static const auto queue = DispatchQueue::createSerial("statistics.totals");
    return queue;
}

}  // namespace

std::shared_ptr<SessionDayTotals> SessionDayTotals::shared() {
    // Never destroyed: a read on its queue may still run while the process exits.
    static const auto* totals = new std::shared_ptr<SessionDayTotals>(make());
    return *totals;
}

std::shared_ptr<SessionDayTotals> SessionDayTotals::make() {
    SessionStoreSummary::watchSaves();
    std::shared_ptr<SessionDayTotals> totals(new SessionDayTotals());
    totals->watchSaves();
    return totals;
}

void SessionDayTotals::watchSaves() {
    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(this, NSManagedObjectContextWillSaveNotification, [weak = weak_from_this()](const NSNotification& note) {
        if (auto self = weak.lock()) self->noteWillSave(note);
    });
    center.addObserver(this, NSManagedObjectContextDidSaveNotification, [weak = weak_from_this()](const NSNotification& note) {
        if (auto self = weak.lock()) self->noteSave(note);
    });
}

SessionDayTotals::~SessionDayTotals() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

std::optional<SessionDayTotals::Store> SessionDayTotals::storeOf(NSManagedObjectContext& context) {
    const auto& coordinator = context.persistentStoreCoordinator();
    if (!coordinator || !coordinator->hasStore()) return std::nullopt;
    return Store{coordinator->storeURL().lexically_normal(), coordinator->storeIdentifier()};
}

void SessionDayTotals::prepareInBackground(NSManagedObjectContext& context) {
    if (const auto store = storeOf(context)) prepareOffMain(*store);
}

void SessionDayTotals::prepareOffMain(const Store& store) {
    readingQueue()->async([weak = weak_from_this(), store] {
        auto self = weak.lock();
        if (!self || !self->prepare(store)) return;
        // The days of a million sessions take the main thread tens of milliseconds: better now than
        // inside the tap that opens the screen.
        DispatchQueue::main()->async([weak, store] {
            if (auto self = weak.lock()) self->updateDays(store);
        });
    });
}

DayNumbers SessionDayTotals::figures(NSManagedObjectContext& context) {
    const auto store = storeOf(context);
    // A store that cannot be read shows no sessions rather than some of them. A change the totals
    // could not follow may come between their read and their days: they are read again.
    for (bool made = false; !made;) {
        if (!store || !prepare(*store)) return {};
        made = updateDays(*store);
    }
    DayNumbers days = days_;
    DayGrouping unsaved(days);
    for (const auto& object : context.insertedObjects()) {
        if (object->entity().name() == kSession)
            unsaved.add(object->valueForKey("timestamp"), object->valueForKey("duration"));
    }
    return days;
}

bool SessionDayTotals::prepare(const Store& store) {
    const auto ready = [&] {
        MutexLock lock(mutex_);
        return store_ == store && !stale_ && !readRunning_;
    };
    if (ready()) return true;
    MutexLock reading(reading_);
    StoredSessionReader reader(store.url);
    // A change to stored sessions while it read makes it read again.
    while (!ready()) {
        if (!read(store, reader)) return false;
    }
    return true;
}

bool SessionDayTotals::read(const Store& store, StoredSessionReader& reader) {
    const auto began = SessionStoreSummary::readBegins();
    {
        MutexLock lock(mutex_);
        store_ = store;
        stale_ = false;
        readRunning_ = true;
        arrivals_.clear();
        // Old values taken before this read may already be in what it reads: a save they belong to
        // cannot be taken back from its totals, and reads them again.
        changing_.clear();
    }
    const auto text = SessionStoreSummary::read();
    auto summary = text ? SessionDayTotalsFile::parse(*text) : std::nullopt;
    if (summary && (summary->storeIdentifier != store.identifier || summary->lastRow == 0)) summary.reset();
    QuarterHourTotals totals;
    StoredSession last;
    bool lastHeld = false, read = false;
    if (summary) {
        // The summary's own last row comes first, to be compared, not counted.
        totals = std::move(summary->totals);
        read = reader.readRange(summary->lastRow, INT64_MAX, [&](const StoredSession& session) {
            if (last.row == 0) {
                lastHeld = session.row == summary->lastRow &&
                           sameSession(session, summary->lastTimestamp, summary->lastDuration);
            } else if (lastHeld) {
                totals.add(session.timestamp, session.minutes);
            }
            last = session;
        });
    }
    const bool fromSummary = read && lastHeld;
    if (!fromSummary) {
        totals = {};
        last = {};
        read = reader.readRange(0, INT64_MAX, [&](const StoredSession& session) {
            totals.add(session.timestamp, session.minutes);
            last = session;
        });
    }
    {
        MutexLock lock(mutex_);
        readRunning_ = false;
        if (!read) {
            stale_ = true;
            return false;
        }
        if (stale_ || SessionStoreSummary::readBegins() != began) {
            stale_ = true;
            return true;  // read again
        }
        totals_ = std::move(totals);
        lastSession_ = last;
        beyond_.clear();
        ++version_;
        added_.clear();
        addedSince_ = version_;
        for (const auto& arrival : arrivals_) {
            if (arrival.row > lastSession_.row) take(arrival);
        }
        arrivals_.clear();
    }
    if (!fromSummary || last.row != summary->lastRow) writeSummary();
    return true;
}

void SessionDayTotals::take(const StoredSession& session) {
    // A save heard after a read that already found its rows.
    if (session.row <= lastSession_.row || beyond_.contains(session.row)) return;
    totals_.add(session.timestamp, session.minutes);
    ++version_;
    if (addedSince_ + added_.size() + 1 == version_) added_.push_back(session);
    if (session.row == lastSession_.row + 1 && beyond_.empty()) {
        lastSession_ = session;
        return;
    }
    beyond_[session.row] = session;
    for (auto next = beyond_.begin(); next != beyond_.end() && next->first <= lastSession_.row + 1;
         next = beyond_.erase(next)) {
        if (next->first == lastSession_.row + 1) lastSession_ = next->second;
    }
}

void SessionDayTotals::writeSummary() {
    std::string bytes;
    std::uint64_t stamp = 0;
    {
        MutexLock lock(mutex_);
        // Rows heard out of order leave a gap a later read would not fill: wait for them.
        if (!store_ || stale_ || !beyond_.empty() || lastSession_.row == 0) return;
        stamp = SessionStoreSummary::readBegins();
        bytes = SessionDayTotalsFile{store_->identifier, lastSession_.row, timestampValue(lastSession_),
                                     Value(lastSession_.minutes), totals_}
                    .bytes();
    }
    SessionStoreSummary::write(bytes, stamp);
}

// Any thread: reads what the sessions a save is about to change hold now.
void SessionDayTotals::noteWillSave(const NSNotification& notification) {
    const auto* save = notification.objectAs<NSManagedObjectContextWillSave>();
    if (!save) return;
    std::vector<std::int64_t> rows;
    for (const auto& id : save->updatedObjects) {
        if (id.entityName == kSession) rows.push_back(id.row);
    }
    if (rows.empty()) return;
    std::filesystem::path url;
    {
        MutexLock lock(mutex_);
        changing_.erase(save->context);
        if (!store_ || stale_) return;
        // A change while the store is read: that read starts again.
        if (readRunning_) {
            stale_ = true;
            return;
        }
        // Two saves changing sessions at once, or so many sessions that reading them all costs less.
        if (!changing_.empty() || rows.size() > kMostFollowed) {
            markStale();
            return;
        }
        // The slot is this save's from now on: another save that comes while the old values are read
        // finds it taken.
        changing_[save->context] = {};
        url = store_->url;
    }
    auto old = StoredSessionReader(url).readRows(rows);
    MutexLock lock(mutex_);
    const auto slot = changing_.find(save->context);
    // A read of the whole store began meanwhile: it finds this save's change or hears of it.
    if (slot == changing_.end()) return;
    if (!old || old->size() != rows.size()) {
        changing_.erase(slot);
        markStale();
    } else {
        slot->second = std::move(*old);
    }
}

// Any thread: a merge saves on the sync's own queue.
void SessionDayTotals::noteSave(const NSNotification& notification) {
    const auto* saved = notification.objectAs<NSManagedObjectContextDidSave>();
    if (!saved) return;
    std::vector<StoredSession> inserted, updated;
    for (const auto& snapshot : saved->insertedObjects) {
        if (snapshot.objectID.entityName == kSession) inserted.push_back(sessionOf(snapshot));
    }
    for (const auto& snapshot : saved->updatedObjects) {
        if (snapshot.objectID.entityName == kSession) updated.push_back(sessionOf(snapshot));
    }
    {
        MutexLock lock(mutex_);
        auto old = changing_.extract(saved->context);
        if (!store_ || saved->storeURL.lexically_normal() != store_->url) return;
        if (readRunning_) {
            arrivals_.insert(arrivals_.end(), inserted.begin(), inserted.end());
            stale_ = stale_ || !updated.empty() || arrivals_.size() > kMostFollowed;
            return;
        }
        if (stale_) return;
        if (inserted.size() > kMostFollowed) {
            markStale();
            return;
        }
        for (const auto& session : inserted) take(session);
        if (updated.empty()) return;
        if (!takeBack(old ? old.mapped() : std::vector<StoredSession>(), updated)) {
            markStale();
            return;
        }
        ++version_;
        added_.clear();
        addedSince_ = version_;
    }
    // The next launch starts from the changed totals, not from every session.
    writeSummary();
}

bool SessionDayTotals::takeBack(std::vector<StoredSession> before, const std::vector<StoredSession>& after) {
    const auto byRow = [](const StoredSession& a, const StoredSession& b) { return a.row < b.row; };
    std::sort(before.begin(), before.end(), byRow);
    // What the changed sessions counted before goes, then what they count now comes.
    std::vector<const StoredSession*> changed;
    for (const auto& session : after) {
        const auto was = std::lower_bound(before.begin(), before.end(), session, byRow);
        if (was == before.end() || was->row != session.row) return false;
        if (was->timestamp == session.timestamp && was->minutes == session.minutes) continue;
        if (!totals_.remove(was->timestamp, was->minutes)) return false;
        changed.push_back(&session);
    }
    for (const auto* session : changed) {
        totals_.add(session->timestamp, session->minutes);
        if (session->row == lastSession_.row) lastSession_ = *session;
        if (const auto pending = beyond_.find(session->row); pending != beyond_.end()) pending->second = *session;
    }
    return true;
}

void SessionDayTotals::markStale() {
    if (stale_ || !store_) {
        stale_ = true;
        return;
    }
    stale_ = true;
    // Read again now, off the main thread, rather than at the next visit.
    prepareOffMain(*store_);
}

bool SessionDayTotals::updateDays(const Store& store) {
    const auto zone = NSTimeZone::defaultTimeZone();
    QuarterHourTotals::LocalDays local;
    std::uint64_t version = 0;
    std::int64_t lastRow = 0;
    std::vector<StoredSession> beyond;
    {
        MutexLock lock(mutex_);
        if (store_ != store || stale_ || readRunning_) return false;
        // Sessions in any order cost the calendar a day each: many are better counted from the quarters.
        if (daysStore_ == store && daysZone_ == zone && daysVersion_ == addedSince_ &&
            added_.size() <= kMostFollowed) {
            DayGrouping grouping(days_);
            for (const auto& session : added_) grouping.add(timestampValue(session), Value(session.minutes));
            added_.clear();
            daysVersion_ = addedSince_ = version_;
            return true;
        }
        local = totals_.localDays();
        version = version_;
        lastRow = lastSession_.row;
        for (const auto& [row, session] : beyond_) beyond.push_back(session);
    }
    if (!local.across.empty() && !addSessionsAcross(store, local, lastRow, beyond)) {
        local.days = {};  // a store that cannot be read shows no sessions rather than some of them
    }
    MutexLock lock(mutex_);
    // A save the totals followed meanwhile: counted again.
    if (store_ != store || stale_ || readRunning_ || version_ != version) return false;
    days_ = std::move(local.days);
    daysStore_ = store;
    daysZone_ = zone;
    added_.clear();
    daysVersion_ = addedSince_ = version_;
    return true;
}

// A quarter that a local midnight or a change of the clocks falls inside (a local mean time of long ago):
// its sessions, read by their time on the reading thread, with no lock held that a save waits on. Those up to the
// last row the totals hold in order come from the store, those above it from the totals' own record.
bool SessionDayTotals::addSessionsAcross(const Store& store, QuarterHourTotals::LocalDays& local,
                                         std::int64_t lastRow, const std::vector<StoredSession>& beyond) {
    std::vector<std::pair<double, double>> spans;
    for (const auto& quarter : local.across)
        spans.emplace_back(QuarterHourTotals::startOf(quarter), QuarterHourTotals::endOf(quarter));
    std::vector<StoredSession> sessions;
    bool read = false;
    readingQueue()->sync([&] {
        read = StoredSessionReader(store.url).readEndedWithin(
            spans, lastRow, [&](const StoredSession& session) { sessions.push_back(session); });
    });
    if (!read) return false;
    const auto across = [&](double timestamp) {
        const auto span = std::upper_bound(spans.begin(), spans.end(), timestamp,
                                           [](double t, const std::pair<double, double>& s) { return t < s.second; });
        return span != spans.end() && span->first <= timestamp;
    };
    for (const auto& session : beyond) {
        if (session.timestamp && across(*session.timestamp)) sessions.push_back(session);
    }
    DayGrouping grouping(local.days);
    for (const auto& session : sessions) grouping.add(timestampValue(session), Value(session.minutes));
    return true;
}

}  // namespace quorvel
