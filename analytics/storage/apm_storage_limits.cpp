#include "analytics/storage/apm_storage_limits.h"

namespace analytics {

std::shared_ptr<APMStorageLimits> APMStorageLimits::defaults() {
    static auto* instance = new std::shared_ptr<APMStorageLimits>(std::make_shared<APMStorageLimits>());
    return *instance;
}

}  // namespace analytics
