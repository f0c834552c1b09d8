#pragma once

#include <memory>

#include "platform/foundation/ns_error.h"

namespace analytics {

class APMEClient;

// What an SDK hears from its experiment client; every callback is optional.
class APMEExperimentObserverDelegate {
public:
    virtual ~APMEExperimentObserverDelegate() = default;
    virtual void clientDidReceiveNewSnapshot(const std::shared_ptr<APMEClient>&) {}
    virtual void clientDidReceiveFetchError(const std::shared_ptr<APMEClient>&,
                                            const std::shared_ptr<platform::NSError>&) {}
    virtual bool shouldFetchExperimentsForClient(const std::shared_ptr<APMEClient>&) { return true; }
};

}  // namespace analytics
