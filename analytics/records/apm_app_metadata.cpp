#include "analytics/records/apm_app_metadata.h"

#include "analytics/monitor/apm_monitor.h"
#include "analytics/records/apm_counter.h"

namespace analytics {

std::optional<APMAppMetadata> APMAppMetadata::initWithLastBundleIndex(std::int32_t lastBundleIndex,
                                                                      double lastBundleStartTimestamp,
                                                                      double lastBundleEndTimestamp) {
    if (lastBundleIndex < 0) {
        APMMonitor::sharedInstance()->logWithLevel(
            APMLogLevel::SilentError, 4000, "Failed to create app metadata object. Received negative last bundle index.");
        return std::nullopt;
    }
    return APMAppMetadata(lastBundleIndex, lastBundleStartTimestamp, lastBundleEndTimestamp);
}

void APMAppMetadata::incrementLastBundleIndex() {
    APMIncrementCounter(lastBundleIndex_, 4001, "Bundle index overflow. Bundle index reset to 0.");
}

}  // namespace analytics
