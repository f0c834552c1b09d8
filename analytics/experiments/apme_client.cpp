#include "analytics/experiments/apme_client.h"

#include "analytics/experiments/apme_manager.h"
#include "analytics/experiments/apme_monitor.h"

namespace analytics {

APMEClient::APMEClient(std::weak_ptr<APMEManager> manager, std::string sdkName)
    : manager_(std::move(manager)), sdkName_(std::move(sdkName)) {}

std::shared_ptr<APMEExperimentObserverDelegate> APMEClient::delegate() const {
    platform::MutexLock lock(delegateMutex_);
    return delegate_.lock();
}

void APMEClient::setDelegate(std::weak_ptr<APMEExperimentObserverDelegate> delegate) {
    platform::MutexLock lock(delegateMutex_);
    delegate_ = std::move(delegate);
}

bool APMEClient::activateLatestSnapshot(APMErrorOut error) {
    auto manager = manager_.lock();
    if (!manager) {
        APMSetError(error, 2, "The experiment manager is gone");
        return false;
    }
    return manager->activateLatestSnapshot(sdkName_, error);
}

NanoObject APMEClient::objectForKeyedSubscript(const NanoObject& flagName) const {
    const std::string* name = std::get_if<std::string>(&flagName);
    if (!name) {
        APMEManager::monitor()->logWithLevel(APMLogLevel::Error, 830003,
                                             "Cannot get flag value of an invalid flag name",
                                             NanoObjectClassName(flagName));
        return {};
    }
    auto manager = manager_.lock();
    return manager ? manager->activeFlagValue(sdkName_, *name) : NanoObject{};
}

}  // namespace analytics
