#include "analytics/engine/apm_screen_view_reporter.h"

#include "analytics/engine/apm_application_notifications.h"

namespace analytics {

std::shared_ptr<APMScreenViewReporter> APMScreenViewReporter::sharedInstance() {
    // Never destroyed: notifications may reach it until exit.
    static auto* reporter = new std::shared_ptr<APMScreenViewReporter>([] {
        std::shared_ptr<APMScreenViewReporter> made(new APMScreenViewReporter);
        made->observeApplication();
        return made;
    }());
    return *reporter;
}

void APMScreenViewReporter::observeApplication() {
    auto& center = platform::NSNotificationCenter::defaultCenter();
    center.addObserver(this, APMApplicationDidBecomeActiveNotificationName(),
                       [this](const platform::NSNotification&) { appActive_ = true; });
    center.addObserver(this, APMApplicationWillResignActiveNotificationName(),
                       [this](const platform::NSNotification&) { appActive_ = false; });
}

APMValue::Parameters APMScreenViewReporter::screenParameters() const {
    platform::MutexLock lock(mutex_);
    return screenParameters_;
}

void APMScreenViewReporter::setScreenParameters(APMValue::Parameters parameters) {
    platform::MutexLock lock(mutex_);
    screenParameters_ = std::move(parameters);
}

bool APMAppIsActive() {
    return APMScreenViewReporter::sharedInstance()->isAppActive();
}

}  // namespace analytics
