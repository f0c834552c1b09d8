#pragma once

#include <cstdint>
#include <optional>

namespace analytics {

// The bundle bookkeeping: the index of the last upload bundle and the times it covered.
class APMAppMetadata {
public:
    // Nothing (logged) for a negative index.
    static std::optional<APMAppMetadata> initWithLastBundleIndex(std::int32_t lastBundleIndex,
                                                                 double lastBundleStartTimestamp,
                                                                 double lastBundleEndTimestamp);

    std::int32_t lastBundleIndex() const { return lastBundleIndex_; }
    // Past the largest 32-bit index it starts again at 0.
    void incrementLastBundleIndex();
    double lastBundleStartTimestamp() const { return lastBundleStartTimestamp_; }
    double lastBundleEndTimestamp() const { return lastBundleEndTimestamp_; }

private:
    APMAppMetadata(std::int32_t index, double start, double end)
        : lastBundleIndex_(index), lastBundleStartTimestamp_(start), lastBundleEndTimestamp_(end) {}

    std::int32_t lastBundleIndex_;
    double lastBundleStartTimestamp_;
    double lastBundleEndTimestamp_;
};

}  // namespace analytics
