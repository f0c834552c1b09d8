#pragma once

#include "analytics/records/apm_audience_filter.h"

namespace analytics {

// One user-property filter of an audience; `data` is the encoded property filter message.
class APMPropertyFilter : public APMAudienceFilter {
public:
    static APMPropertyFilter initWithAudienceID(std::int32_t audienceID, std::int32_t filterID,
                                                std::string propertyName, APMBytes data, bool sessionScoped,
                                                bool dynamic, bool sequence) {
        return APMPropertyFilter(audienceID, filterID, std::move(propertyName), std::move(data),
                                 sessionScoped, dynamic, sequence);
    }

    const std::string& propertyName() const { return name(); }

private:
    using APMAudienceFilter::APMAudienceFilter;
};

}  // namespace analytics
