#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/screens/statistics/day_number.h"
#include "app/screens/statistics/session_day_totals_file.h"
#include "platform/coredata/ns_managed_object_context.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_time_zone.h"

namespace quorvel {

// The stored sessions' figures per local day, kept up to date from the saves to the session store
// rather than read again at every refresh: a save that stores new sessions (here or by a merge) adds
// them; a save that changes a stored session, another time zone or a replaced store file reads every
// session again. Each read leaves its totals in a summary file, so that the first read of a later
// screen (or launch) reads only the sessions stored since. Saves are heard on any thread; the figures
// are asked for on the main thread.
class SessionDayTotals : public std::enable_shared_from_this<SessionDayTotals> {
public:
    static std::shared_ptr<SessionDayTotals> make();
    ~SessionDayTotals();
    SessionDayTotals(const SessionDayTotals&) = delete;
    SessionDayTotals& operator=(const SessionDayTotals&) = delete;

    // Every session of the context's store plus its unsaved ones, as reading them all would count them.
    DayNumbers figures(platform::NSManagedObjectContext& context) EXCLUDES(mutex_);

private:
    SessionDayTotals() = default;
    // A session stored since the last full read, by its row.
    struct Arrival {
        std::int64_t row;
        platform::Value timestamp;
        platform::Value duration;
    };

    void noteSave(const platform::NSNotification& notification) EXCLUDES(mutex_);
    void readAll(platform::NSPersistentStoreCoordinator& coordinator) EXCLUDES(mutex_);
    // Reads the rows after the summary's last one onto its totals, or every row without one. False when
    // the read fails, or when the store no longer holds the summary's last row as it was.
    bool readOnto(const SessionDayTotalsFile* summary, platform::NSPersistentStoreCoordinator& coordinator,
                  const platform::NSEntityDescription& entity, const std::vector<std::size_t>& columns);
    SessionDayTotalsFile summary() const;
    void takeArrivals() EXCLUDES(mutex_);

    // Read on the main thread only.
    DayNumbers stored_;
    std::int64_t lastRowRead_ = 0;
    platform::Value lastTimestampRead_, lastDurationRead_;
    std::optional<platform::NSTimeZone> zone_;
    std::string storeIdentifier_;
    bool readFailed_ = false;

    platform::Mutex mutex_;
    std::filesystem::path storeURL_ GUARDED_BY(mutex_);
    std::vector<Arrival> arrivals_ GUARDED_BY(mutex_);
    bool readAgain_ GUARDED_BY(mutex_) = true;
};

}  // namespace quorvel
