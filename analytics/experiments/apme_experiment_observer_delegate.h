#pragma once

#include <memory>

namespace analytics {

class APMEClient;

// What an SDK hears from its experiment client; every callback is optional.
class APMEExperimentObserverDelegate {
public:
    virtual ~APMEExperimentObserverDelegate() = default;
    virtual void clientDidReceiveNewSnapshot(const std::shared_ptr<APMEClient>&) {}
    virtual bool shouldFetchExperimentsForClient(const std::shared_ptr<APMEClient>&) { return true; }
};

}  // namespace analytics
