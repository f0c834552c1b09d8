#pragma once

#include "analytics/records/apm_audience_filter.h"

namespace analytics {

// One event filter of an audience; `data` is the encoded event filter message.
class APMEventFilter : public APMAudienceFilter {
public:
    static APMEventFilter initWithAudienceID(std::int32_t audienceID, std::int32_t filterID,
                                             std::string eventName, APMBytes data, bool sessionScoped,
                                             bool dynamic, bool sequence) {
        return APMEventFilter(audienceID, filterID, std::move(eventName), std::move(data), sessionScoped,
                              dynamic, sequence);
    }

    const std::string& eventName() const { return name(); }

private:
    using APMAudienceFilter::APMAudienceFilter;
};

}  // namespace analytics
