#include "analytics/engine/apm_identifiers.h"

namespace analytics {

std::shared_ptr<APMIdentifiers> APMIdentifiers::sharedInstance() {
    static auto* shared = new std::shared_ptr<APMIdentifiers>(std::make_shared<APMIdentifiers>());
    return *shared;
}

std::string APMIdentifiers::origin() const {
    platform::MutexLock lock(mutex_);
    return origin_;
}

void APMIdentifiers::setOrigin(std::string origin) {
    platform::MutexLock lock(mutex_);
    origin_ = std::move(origin);
}

}  // namespace analytics
