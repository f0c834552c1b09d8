#pragma once

#include <atomic>
#include <memory>

#include "analytics/foundation/apm_value.h"
#include "platform/foundation/mutex.h"

namespace analytics {

// Keeps what the library knows of the app's screen: whether the application is active, from its
// life-cycle notifications, and the current screen's parameters ("_sn", "_sc", "_si") that events carry.
class APMScreenViewReporter {
public:
    // Made once; it observes the application from then on.
    static std::shared_ptr<APMScreenViewReporter> sharedInstance();

    bool isAppActive() const { return appActive_; }

    // Empty while no screen has been reported.
    APMValue::Parameters screenParameters() const EXCLUDES(mutex_);
    void setScreenParameters(APMValue::Parameters parameters) EXCLUDES(mutex_);

private:
    APMScreenViewReporter() = default;
    void observeApplication();

    std::atomic<bool> appActive_{false};
    mutable platform::Mutex mutex_;
    APMValue::Parameters screenParameters_ GUARDED_BY(mutex_);
};

// Whether the application is active, as the screen-view reporter knows it.
bool APMAppIsActive();

}  // namespace analytics
