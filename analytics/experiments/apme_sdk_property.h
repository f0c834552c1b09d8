#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analytics/experiments/apme_sdk_property_provider_delegate.h"

namespace analytics {

// An SDK as the experiment manager knows it.
class APMESDKProperty {
public:
    // nullptr without a name.
    static std::shared_ptr<APMESDKProperty> initWithName(const std::optional<std::string>& name);

    const std::string& name() const { return name_; }
    std::int64_t version() const { return version_; }
    void setVersion(std::int64_t version) { version_ = version; }
    std::shared_ptr<APMESDKPropertyProviderDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<APMESDKPropertyProviderDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

private:
    explicit APMESDKProperty(std::string name) : name_(std::move(name)) {}

    const std::string name_;
    std::int64_t version_ = 0;
    std::weak_ptr<APMESDKPropertyProviderDelegate> delegate_;
};

}  // namespace analytics
