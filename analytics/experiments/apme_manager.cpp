#include "analytics/experiments/apme_manager.h"

#include "analytics/messages/apmpb_flag_monitor.h"

namespace analytics {

std::shared_ptr<APMEManager> APMEManager::sharedInstance() {
    static auto* manager = new std::shared_ptr<APMEManager>(std::make_shared<APMEManager>());
    return *manager;
}

std::shared_ptr<APMEMonitor> APMEManager::monitor() {
    static auto* monitor = [] {
        auto* made = new std::shared_ptr<APMEMonitor>(std::make_shared<APMEMonitor>());
        APMPBFlagMonitor::setLogSink(
            [logger = *made](int level, int code, const std::string& message, const std::string& context) {
                if (context.empty()) {
                    logger->logWithLevel(level, code, message);
                } else {
                    logger->logWithLevel(level, code, message, context);
                }
            });
        return made;
    }();
    return *monitor;
}

std::shared_ptr<APMEClient> APMEManager::registerSDKProperty(const std::shared_ptr<APMESDKProperty>& property,
                                                             const Flags& defaultFlags) {
    // Connects the flag functions' reports before they can make any.
    auto logger = monitor();
    if (!property) {
        logger->logWithLevel(APMLogLevel::Error, 800000, "Cannot register client with a nil SDK property");
        return nullptr;
    }
    if (property->name().empty()) {
        logger->logWithLevel(APMLogLevel::Error, 800001,
                             "Cannot register experiment client with no SDK name");
        return nullptr;
    }
    std::vector<std::shared_ptr<NANOMessageBase>> flags;
    for (const auto& [name, value] : defaultFlags) {
        auto flag = APMExperimentSnapshot::makeFlag(name, value);
        if (!flag) {
            logger->logWithLevel(APMLogLevel::Error, 800002, "Cannot store default flag of experiment client",
                                 name);
            return nullptr;
        }
        flags.push_back(std::move(flag));
    }
    std::shared_ptr<APMEClient> client;
    queue_->sync([&] {
        SDKState& state = sdks_[property->name()];
        state.property = property;
        state.defaultFlags = std::move(flags);
        if (!state.client) state.client = std::make_shared<APMEClient>(weak_from_this(), property->name());
        client = state.client;
    });
    return client;
}

bool APMEManager::receiveSnapshot(const NANOMessageBase* message) {
    auto snapshot = APMExperimentSnapshot::fromMessage(message);
    if (!snapshot) return false;
    queue_->sync([&] {
        SDKState& state = sdks_[snapshot->sdkName];
        state.latestSnapshot = std::move(snapshot);
        const auto& client = state.client;
        if (!client) return;
        if (auto delegate = client->delegate()) delegate->clientDidReceiveNewSnapshot(client);
    });
    return true;
}

bool APMEManager::activateLatestSnapshot(const std::string& sdkName, APMErrorOut) {
    queue_->sync([&] {
        auto found = sdks_.find(sdkName);
        if (found == sdks_.end() || !found->second.latestSnapshot) return;
        found->second.activeSnapshot = std::move(found->second.latestSnapshot);
        found->second.latestSnapshot.reset();
    });
    return true;
}

NanoObject APMEManager::activeFlagValue(const std::string& sdkName, const std::string& flagName) const {
    NanoObject value;
    queue_->sync([&] {
        auto sdk = sdks_.find(sdkName);
        if (sdk == sdks_.end() || !sdk->second.activeSnapshot) return;
        const Flags& flags = sdk->second.activeSnapshot->flags;
        if (auto flag = flags.find(flagName); flag != flags.end()) value = flag->second;
    });
    return value;
}

std::vector<std::int32_t> APMEManager::experimentIDs() const {
    std::vector<std::int32_t> identifiers;
    queue_->sync([&] {
        for (const auto& [name, state] : sdks_) {
            if (!state.activeSnapshot) continue;
            const auto& active = state.activeSnapshot->experimentIDs;
            identifiers.insert(identifiers.end(), active.begin(), active.end());
        }
    });
    return identifiers;
}

void APMEManager::reset() {
    queue_->async([weakSelf = weak_from_this()] {
        auto self = weakSelf.lock();
        if (!self) return;
        for (auto& [name, state] : self->sdks_) {
            state.latestSnapshot.reset();
            state.activeSnapshot.reset();
        }
    });
}

}  // namespace analytics
