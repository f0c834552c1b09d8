#pragma once

#include <cstdint>
#include <optional>

#include "analytics/foundation/apm_data_additions.h"

namespace analytics {

// One audience's evaluation results as the evaluator encoded them, now and before. Immutable.
class APMFilterResult {
public:
    static APMFilterResult initWithAudienceID(std::int32_t audienceID, std::optional<APMBytes> currentResults,
                                              std::optional<APMBytes> previousResults) {
        return APMFilterResult(audienceID, std::move(currentResults), std::move(previousResults));
    }

    std::int32_t audienceID() const { return audienceID_; }
    const std::optional<APMBytes>& currentResults() const { return currentResults_; }
    const std::optional<APMBytes>& previousResults() const { return previousResults_; }

    bool operator==(const APMFilterResult&) const = default;

private:
    APMFilterResult(std::int32_t audienceID, std::optional<APMBytes> currentResults,
                    std::optional<APMBytes> previousResults)
        : audienceID_(audienceID),
          currentResults_(std::move(currentResults)),
          previousResults_(std::move(previousResults)) {}

    std::int32_t audienceID_;
    std::optional<APMBytes> currentResults_;
    std::optional<APMBytes> previousResults_;
};

}  // namespace analytics
