#pragma once

#include <memory>
#include <string>

#include "analytics/experiments/apme_experiment_observer_delegate.h"
#include "analytics/messages/nano_object.h"
#include "analytics/monitor/apm_error_additions.h"
#include "platform/foundation/mutex.h"

namespace analytics {

class APMEManager;

// One SDK's view of its experiments: the flags of its active snapshot.
class APMEClient : public std::enable_shared_from_this<APMEClient> {
public:
    APMEClient(std::weak_ptr<APMEManager> manager, std::string sdkName);

    const std::string& sdkName() const { return sdkName_; }
    std::shared_ptr<APMEExperimentObserverDelegate> delegate() const EXCLUDES(delegateMutex_);
    void setDelegate(std::weak_ptr<APMEExperimentObserverDelegate> delegate) EXCLUDES(delegateMutex_);

    // Makes the latest received snapshot the active one; true when there was none.
    bool activateLatestSnapshot(APMErrorOut error);
    // The flag's value in the active snapshot; nothing (monostate) without one or for a name that is
    // not a string (logged).
    NanoObject objectForKeyedSubscript(const NanoObject& flagName) const;

private:
    const std::weak_ptr<APMEManager> manager_;
    const std::string sdkName_;
    mutable platform::Mutex delegateMutex_;
    std::weak_ptr<APMEExperimentObserverDelegate> delegate_ GUARDED_BY(delegateMutex_);
};

}  // namespace analytics
