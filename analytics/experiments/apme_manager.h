#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/experiments/apm_experiment_snapshot.h"
#include "analytics/experiments/apme_client.h"
#include "analytics/experiments/apme_monitor.h"
#include "analytics/experiments/apme_sdk_property.h"
#include "analytics/messages/nano_message_base.h"
#include "analytics/messages/nano_object.h"
#include "analytics/monitor/apm_error_additions.h"
#include "platform/dispatch/dispatch_queue.h"

namespace analytics {

// The experiment state of every registered SDK, kept in memory: the latest snapshot received for it
// and the flags of the one it activated. The state lives on the manager's serial queue: every call
// reads or changes it there synchronously, except reset, which is queued.
class APMEManager : public std::enable_shared_from_this<APMEManager> {
public:
    using Flags = std::map<std::string, NanoObject>;
    static constexpr const char* kQueueLabel = "APMEManager";

    static std::shared_ptr<APMEManager> sharedInstance();
    // The experiment client's logger, made on first use; the flag functions report through it.
    static std::shared_ptr<APMEMonitor> monitor();

    // The SDK's client, or nullptr for a missing property, an empty name or a default flag that is no
    // flag. Registering again keeps the client and its snapshots.
    std::shared_ptr<APMEClient> registerSDKProperty(const std::shared_ptr<APMESDKProperty>& property,
                                                    const Flags& defaultFlags);
    // A snapshot message that arrived for the SDK it names; its client's delegate hears of it on the
    // manager's queue. Anything that is no readable snapshot is refused.
    bool receiveSnapshot(const NANOMessageBase* snapshot);
    bool activateLatestSnapshot(const std::string& sdkName, APMErrorOut error);
    NanoObject activeFlagValue(const std::string& sdkName, const std::string& flagName) const;
    // The identifiers of the experiments of every active snapshot.
    std::vector<std::int32_t> experimentIDs() const;
    // Forgets every snapshot and active flag, once the work queued before it is done; registrations
    // stay.
    void reset();

private:
    struct SDKState {
        std::shared_ptr<APMESDKProperty> property;
        std::shared_ptr<APMEClient> client;
        std::vector<std::shared_ptr<NANOMessageBase>> defaultFlags;
        std::optional<APMExperimentSnapshot> latestSnapshot;
        std::optional<APMExperimentSnapshot> activeSnapshot;
    };

    const std::shared_ptr<platform::DispatchQueue> queue_ =
        platform::DispatchQueue::createSerial(kQueueLabel);
    std::map<std::string, SDKState> sdks_;  // on queue_ only
};

}  // namespace analytics
