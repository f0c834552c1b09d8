#pragma once

#include <cstdint>
#include <optional>

#include "analytics/records/apm_event.h"

namespace analytics {

// A stored raw event with its row in the raw events table and the fingerprint of the metadata stored
// with it.
class APMRawEventData {
public:
    // Nothing (logged) without an event or with a negative row.
    static std::optional<APMRawEventData> initWithRawEvent(std::optional<APMEvent> rawEvent, std::int64_t rowID,
                                                           std::int64_t metadataFingerprint);

    const APMEvent& rawEvent() const { return rawEvent_; }
    std::int64_t rowID() const { return rowID_; }
    std::int64_t metadataFingerprint() const { return metadataFingerprint_; }

private:
    APMRawEventData(APMEvent rawEvent, std::int64_t rowID, std::int64_t metadataFingerprint)
        : rawEvent_(std::move(rawEvent)), rowID_(rowID), metadataFingerprint_(metadataFingerprint) {}

    APMEvent rawEvent_;
    std::int64_t rowID_;
    std::int64_t metadataFingerprint_;
};

}  // namespace analytics
