#include "analytics/experiments/apme_sdk_property.h"

namespace analytics {

std::shared_ptr<APMESDKProperty> APMESDKProperty::initWithName(const std::optional<std::string>& name) {
    if (!name) return nullptr;
    return std::shared_ptr<APMESDKProperty>(new APMESDKProperty(*name));
}

}  // namespace analytics
