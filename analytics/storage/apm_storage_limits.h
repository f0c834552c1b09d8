#pragma once

#include <cstdint>
#include <memory>

#include "analytics/records/apm_parameter_limits.h"

namespace analytics {

// What the stores ask of the remote configuration, which sits above them and answers these itself. The
// answers here are the configuration's defaults, which hold until one is received; every answer is read
// afresh at each use and may be read from any queue.
class APMStorageLimits {
public:
    static constexpr double kDefaultMaxQueueTime = 2419200;              // seconds: 28 days
    static constexpr double kDefaultStaleDataDeletionInterval = 86400;  // seconds: one day
    static constexpr std::int32_t kDefaultMaxEventsStored = 100000;

    // The defaults, for stores handed no configuration.
    static std::shared_ptr<APMStorageLimits> defaults();

    virtual ~APMStorageLimits() = default;

    // Whether the answers are the defaults rather than a configuration's.
    virtual bool isDefaultInstance() const { return true; }
    // How long unsent bundles and raw events are kept.
    virtual double maxQueueTime() { return kDefaultMaxQueueTime; }
    // How often stale bundles and raw events are looked for.
    virtual double databaseDeleteStaleBundlesInterval() { return kDefaultStaleDataDeletionInterval; }
    virtual std::int32_t maxEventsStored() { return kDefaultMaxEventsStored; }
    // How many public parameters an event read back from the database keeps.
    virtual std::int32_t maxPublicEventParams() { return kAPMDefaultMaxPublicEventParams; }
    // Keep the persisted state in the library's own folder from the next start on.
    virtual bool persistentConfigInApplicationSupportEnabled() { return false; }
};

}  // namespace analytics
