#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace analytics {

// The counters of one event name: ever, in the current bundle and in the current session (each starting
// again at 0 past the largest 32-bit value), with its last fire and bundling times and sampling state.
class APMEventAggregates {
public:
    // Nothing for a refused name or a negative count (logged).
    static std::optional<APMEventAggregates> initWithName(std::string name, std::int32_t lifetimeCount,
                                                          std::int32_t currentBundleCount,
                                                          std::int32_t currentSessionCount, double lastFireTimestamp);

    const std::string& name() const { return name_; }
    std::int32_t lifetimeCount() const { return lifetimeCount_; }
    std::int32_t currentBundleCount() const { return currentBundleCount_; }
    std::int32_t currentSessionCount() const { return currentSessionCount_; }
    void incrementLifetimeCount();
    void incrementCurrentBundleCount();
    void incrementCurrentSessionCount();

    double lastFireTimestamp() const { return lastFireTimestamp_; }
    double lastBundledTimestamp() const { return lastBundledTimestamp_; }
    void setLastBundledTimestamp(double timestamp) { lastBundledTimestamp_ = timestamp; }
    const std::optional<std::int64_t>& lastSampledComplexEventID() const { return lastSampledComplexEventID_; }
    void setLastSampledComplexEventID(std::optional<std::int64_t> id) { lastSampledComplexEventID_ = id; }
    std::int32_t lastSamplingRate() const { return lastSamplingRate_; }
    void setLastSamplingRate(std::int32_t rate) { lastSamplingRate_ = rate; }
    bool lastExemptFromSampling() const { return lastExemptFromSampling_; }
    void setLastExemptFromSampling(bool exempt) { lastExemptFromSampling_ = exempt; }
    std::int32_t lastBundledDay() const { return lastBundledDay_; }
    void setLastBundledDay(std::int32_t day) { lastBundledDay_ = day; }

private:
    APMEventAggregates(std::string name, std::int32_t lifetime, std::int32_t bundle, std::int32_t session,
                       double lastFire)
        : name_(std::move(name)),
          lifetimeCount_(lifetime),
          currentBundleCount_(bundle),
          currentSessionCount_(session),
          lastFireTimestamp_(lastFire) {}

    std::string name_;
    std::int32_t lifetimeCount_;
    std::int32_t currentBundleCount_;
    std::int32_t currentSessionCount_;
    double lastFireTimestamp_;
    double lastBundledTimestamp_ = 0;
    std::optional<std::int64_t> lastSampledComplexEventID_;
    std::int32_t lastSamplingRate_ = 1;
    bool lastExemptFromSampling_ = false;
    std::int32_t lastBundledDay_ = 0;
};

}  // namespace analytics
