#pragma once

#include <cstdint>

namespace analytics {

// The events of one day that the daily limits are checked against. A count for another day than the one
// held starts the counts of that day afresh.
class APMDailyCounts {
public:
    static APMDailyCounts initWithDay(std::int32_t day, std::int32_t conversionsCount, std::int32_t allEventsCount,
                                      std::int32_t publicEventsCount, std::int32_t errorEventsCount,
                                      std::int32_t realtimeCount) {
        return APMDailyCounts(day, conversionsCount, allEventsCount, publicEventsCount, errorEventsCount,
                              realtimeCount);
    }

    std::int32_t day() const { return day_; }
    std::int32_t conversionsCount() const { return conversionsCount_; }
    std::int32_t allEventsCount() const { return allEventsCount_; }
    std::int32_t publicEventsCount() const { return publicEventsCount_; }
    std::int32_t errorEventsCount() const { return errorEventsCount_; }
    std::int32_t realtimeCount() const { return realtimeCount_; }

    void incrementCountsForCurrentDay(std::int32_t day, bool isPublicEvent, bool isConversion) {
        incrementCountsForCurrentDay(day, isPublicEvent, isConversion, 1);
    }
    // `effectiveEventCount` events at once (a sampled event stands for several).
    void incrementCountsForCurrentDay(std::int32_t day, bool isPublicEvent, bool isConversion,
                                      std::int32_t effectiveEventCount);
    void incrementErrorEventsCountForCurrentDay(std::int32_t day);
    void incrementRealtimeCountsForCurrentDay(std::int32_t day);
    // Never below 0.
    void decrementAllEventsCount();
    void resetWithNewDay(std::int32_t day);

private:
    APMDailyCounts(std::int32_t day, std::int32_t conversions, std::int32_t all, std::int32_t publicEvents,
                   std::int32_t errors, std::int32_t realtime)
        : day_(day),
          conversionsCount_(conversions),
          allEventsCount_(all),
          publicEventsCount_(publicEvents),
          errorEventsCount_(errors),
          realtimeCount_(realtime) {}

    std::int32_t day_;
    std::int32_t conversionsCount_;
    std::int32_t allEventsCount_;
    std::int32_t publicEventsCount_;
    std::int32_t errorEventsCount_;
    std::int32_t realtimeCount_;
};

}  // namespace analytics
