#pragma once

namespace analytics {

// What an SDK provides about itself to the experiment client beyond its name and version.
class APMESDKPropertyProviderDelegate {
public:
    virtual ~APMESDKPropertyProviderDelegate() = default;
};

}  // namespace analytics
