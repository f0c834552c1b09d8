#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/screens/statistics/day_number.h"
#include "app/screens/statistics/quarter_hour_totals.h"
#include "app/screens/statistics/stored_session_reader.h"
#include "platform/coredata/ns_managed_object_context.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_time_zone.h"

namespace quorvel {

// The stored sessions' figures per local day, kept up to date from the saves to the session store rather
// than read again at every refresh: a save that stores new sessions (here or by a merge) adds them, a
// save that changes stored sessions takes their old values back and adds the new ones. The totals are
// kept per quarter of an hour, so another time zone needs no read either, but for the few quarters that
// a local midnight or a change of the clocks falls inside, whose sessions are read by their time.
// They are read on a thread of their own, on a connection of their own (never waiting for a merge's),
// once after launch, starting from the summary file the last read left, which they keep up to date.
// Saves are heard on any thread; the figures are asked for on the main thread.
class SessionDayTotals : public std::enable_shared_from_this<SessionDayTotals> {
public:
    // The totals every statistics screen of the process shows.
    static std::shared_ptr<SessionDayTotals> shared();
    // Totals of their own, read when first asked.
    static std::shared_ptr<SessionDayTotals> make();
    ~SessionDayTotals();
    SessionDayTotals(const SessionDayTotals&) = delete;
    SessionDayTotals& operator=(const SessionDayTotals&) = delete;

    // Main thread: reads the totals of the context's store on a thread of their own.
    void prepareInBackground(platform::NSManagedObjectContext& context) EXCLUDES(mutex_);
    // Main thread: every session of the context's store plus its unsaved ones, as reading them all would
    // count them.
    DayNumbers figures(platform::NSManagedObjectContext& context) EXCLUDES(mutex_, reading_);

private:
    // The store file and its own identifier: a file replaced by another is told from it.
    struct Store {
        std::filesystem::path url;
        std::string identifier;
        bool operator==(const Store&) const = default;
    };
    SessionDayTotals() = default;
    void watchSaves();
    static std::optional<Store> storeOf(platform::NSManagedObjectContext& context);

    void noteWillSave(const platform::NSNotification& notification) EXCLUDES(mutex_);
    void noteSave(const platform::NSNotification& notification) EXCLUDES(mutex_);
    // Makes the totals on their own thread, then their days on the main thread.
    void prepareOffMain(const Store& store);
    // Makes the totals of `store` unless they are made already. False when the store cannot be read.
    bool prepare(const Store& store) EXCLUDES(mutex_, reading_);
    // The totals from the summary file and the rows stored since, or from every row.
    bool read(const Store& store, StoredSessionReader& reader) REQUIRES(reading_) EXCLUDES(mutex_);
    void writeSummary() EXCLUDES(mutex_);
    // Main thread: the local days of the totals in the present zone; false while the totals are being
    // read, no longer follow the store, or changed while their days were counted.
    bool updateDays(const Store& store) EXCLUDES(mutex_);
    // Adds the sessions of the quarters whose days the totals cannot tell; false when the store cannot
    // be read.
    static bool addSessionsAcross(const Store& store, QuarterHourTotals::LocalDays& local, std::int64_t lastRow,
                                  const std::vector<StoredSession>& beyond);
    // Adds a session to the totals and to what the main thread adds to its days.
    void take(const StoredSession& session) REQUIRES(mutex_);
    // Takes the changed sessions' old values back and adds their new ones; false when it cannot.
    bool takeBack(std::vector<StoredSession> before, const std::vector<StoredSession>& after) REQUIRES(mutex_);
    // The totals no longer follow the store: they are read again on their own thread.
    void markStale() REQUIRES(mutex_);

    // One read of the store at a time.
    platform::Mutex reading_ ACQUIRED_BEFORE(mutex_);
    platform::Mutex mutex_;
    std::optional<Store> store_ GUARDED_BY(mutex_);  // whose totals these are, once read
    bool stale_ GUARDED_BY(mutex_) = true;           // a change they could not follow: read again
    bool readRunning_ GUARDED_BY(mutex_) = false;
    QuarterHourTotals totals_ GUARDED_BY(mutex_);
    // Every row up to this one is in the totals, this one as `lastSession_` holds it: where the
    // summary file's next read starts. Sessions above it that are in the totals already wait in
    // `beyond_` (saves on two connections may be heard in either order).
    StoredSession lastSession_ GUARDED_BY(mutex_);
    std::map<std::int64_t, StoredSession> beyond_ GUARDED_BY(mutex_);
    // Sessions stored while a read ran: those above its last row are added after it.
    std::vector<StoredSession> arrivals_ GUARDED_BY(mutex_);
    // The save that is changing sessions (one at a time), by its context, with the old values of those
    // sessions once they are read.
    std::map<const void*, std::vector<StoredSession>> changing_ GUARDED_BY(mutex_);
    // Counts every change to the totals; `added_` holds the sessions added since `addedSince_`, unless
    // something else changed them (then it is empty and `addedSince_` is the present count).
    std::uint64_t version_ GUARDED_BY(mutex_) = 0;
    std::uint64_t addedSince_ GUARDED_BY(mutex_) = 0;
    std::vector<StoredSession> added_ GUARDED_BY(mutex_);

    // Main thread only.
    DayNumbers days_;
    std::optional<Store> daysStore_;
    std::optional<platform::NSTimeZone> daysZone_;
    std::uint64_t daysVersion_ = 0;
};

}  // namespace quorvel
