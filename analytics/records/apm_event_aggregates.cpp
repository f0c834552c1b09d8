#include "analytics/records/apm_event_aggregates.h"

#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/records/apm_counter.h"

namespace analytics {

std::optional<APMEventAggregates> APMEventAggregates::initWithName(std::string name, std::int32_t lifetimeCount,
                                                                   std::int32_t currentBundleCount,
                                                                   std::int32_t currentSessionCount,
                                                                   double lastFireTimestamp) {
    if (!APMDataTypeValidator::isValidInternalEventName(name, nullptr)) return std::nullopt;
    if (lifetimeCount < 0 || currentBundleCount < 0 || currentSessionCount < 0) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentWarning, 17000,
                                                   "Failed to create event aggregates object. Received negative count.");
        return std::nullopt;
    }
    return APMEventAggregates(std::move(name), lifetimeCount, currentBundleCount, currentSessionCount,
                              lastFireTimestamp);
}

void APMEventAggregates::incrementLifetimeCount() {
    APMIncrementCounter(lifetimeCount_, 17001, "Lifetime count overflow. Lifetime count reset to 0.");
}

void APMEventAggregates::incrementCurrentBundleCount() {
    APMIncrementCounter(currentBundleCount_, 17002, "Bundle count overflow. Bundle count reset to 0.");
}

void APMEventAggregates::incrementCurrentSessionCount() {
    APMIncrementCounter(currentSessionCount_, 17003, "Session count overflow. Session count reset to 0.");
}

}  // namespace analytics
