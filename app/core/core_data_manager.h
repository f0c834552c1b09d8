#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/core/number_holder.h"
#include "app/core/session.h"
#include "app/core/timer_vocabulary.h"
#include "platform/coredata/ns_managed_object_context.h"
#include "platform/foundation/ns_date.h"

namespace quorvel {

// The session store: one main-queue context over "store.sqlite" in the store directory. Every
// operation is for the main thread and works without a store too (false or an empty list).
class CoreDataManager {
public:
    static std::shared_ptr<CoreDataManager> shared();

    // Absent until setUpStore installs one. Any thread may read it; the sync merges into it.
    static std::shared_ptr<platform::NSManagedObjectContext> context();

    const std::shared_ptr<NumberHolder>& numberHolder() const { return numberHolder_; }
    void setNumberHolder(std::shared_ptr<NumberHolder> holder) { numberHolder_ = std::move(holder); }

    // Builds the stack. A missing model clears the context; a store that cannot be added leaves a
    // context whose saves fail and whose queries are empty.
    void setUpStore();
    // Closes the store at termination, and at exit where the app did not terminate first, so that
    // "store.sqlite" alone holds every session (a backup may copy only that file). Saves fail afterwards.
    static void closeStore();
    // Tests: closes the store and forgets the context and the NumberHolder, as before the first set-up.
    static void resetSharedForTesting();

    // Stores one session and gives the NumberHolder a new number; the result of save().
    bool insertSession(std::int64_t durationMinutes, SessionType type, platform::NSDate timestamp);
    bool save();

    // Newest first.
    std::vector<std::shared_ptr<Session>> fetchAllSessions();
    // Sessions stamped from `from` to `to`, both included, newest first.
    std::vector<std::shared_ptr<Session>> fetchSessions(platform::NSDate from, platform::NSDate to);

private:
    static void setContext(std::shared_ptr<platform::NSManagedObjectContext> context);

    std::shared_ptr<NumberHolder> numberHolder_;
};

}  // namespace quorvel
