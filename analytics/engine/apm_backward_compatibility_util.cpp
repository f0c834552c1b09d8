#include "analytics/engine/apm_backward_compatibility_util.h"

#include <map>

#include "platform/foundation/mutex.h"

namespace analytics {

namespace {

struct ClassRegistry {
    platform::Mutex mutex;
    std::map<std::string, APMBackwardCompatibilityUtil::SharedInstance> classes GUARDED_BY(mutex);
};

ClassRegistry& registry() {
    static auto* registry = new ClassRegistry;  // never destroyed: looked up until exit
    return *registry;
}

}  // namespace

void APMBackwardCompatibilityUtil::registerClass(const std::string& className, SharedInstance sharedInstance) {
    platform::MutexLock lock(registry().mutex);
    registry().classes.insert_or_assign(className, std::move(sharedInstance));
}

bool APMBackwardCompatibilityUtil::disableZUZIruvorezuvu() {
    SharedInstance sharedInstance;
    {
        platform::MutexLock lock(registry().mutex);
        const auto found = registry().classes.find("ZUZIruvorezuvu");
        if (found == registry().classes.end()) return false;
        sharedInstance = found->second;
    }
    const auto instance = sharedInstance ? sharedInstance() : nullptr;
    if (!instance) return false;
    instance->setIsEnabled(false);
    return true;
}

}  // namespace analytics
