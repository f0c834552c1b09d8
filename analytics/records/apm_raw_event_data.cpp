#include "analytics/records/apm_raw_event_data.h"

#include "analytics/monitor/apm_monitor.h"

namespace analytics {

std::optional<APMRawEventData> APMRawEventData::initWithRawEvent(std::optional<APMEvent> rawEvent, std::int64_t rowID,
                                                                 std::int64_t metadataFingerprint) {
    const auto monitor = APMMonitor::sharedInstance();
    if (!rawEvent) {
        monitor->logWithLevel(APMLogLevel::MonitoredWarning, 28000,
                              "Failed to create raw event data. Received invalid raw event.");
        return std::nullopt;
    }
    if (rowID < 0) {
        monitor->logWithLevel(APMLogLevel::MonitoredWarning, 28001,
                              "Failed to create raw event data. Received invalid row ID. Row ID", rowID);
        return std::nullopt;
    }
    return APMRawEventData(std::move(*rawEvent), rowID, metadataFingerprint);
}

}  // namespace analytics
