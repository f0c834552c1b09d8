#include "analytics/interface/apm_analytics.h"

#include <functional>

#include "analytics/engine/apm_identifiers.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/engine/apm_screen_view_reporter.h"
#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/foundation/apm_event_names.h"
#include "analytics/interface/apm_consent_settings_util.h"
#include "analytics/records/apm_error_event.h"
#include "analytics/records/apm_error_parameters.h"
#include "analytics/records/apm_event_error_code.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/utf8.h"

namespace analytics {

namespace {

using V = APMDataTypeValidator;

// A refused public name becomes an "_err" event carrying the name, and its length when too long.
void reportRefusedName(const std::string& name, int failureCode) {
    const auto code = failureCode == V::kReserved ? APMEventErrorCode::EventNameIsReserved
                                                  : APMEventErrorCode::InvalidEventName;
    const auto value = platform::isValidUtf8(name) ? APMValue::initWithString(name) : std::nullopt;
    APMLogErrorEvent(&APMAnalytics::logInternalEventWithOrigin, code, name, kAPMMaxErrorNameLength, value);
}

}  // namespace

APMAnalytics::APMAnalytics()
    : analyticsQueue_(platform::DispatchQueue::createSerial(kAnalyticsQueueLabel)),
      timestampQueue_(platform::DispatchQueue::createSerial(kTimestampQueueLabel)),
      operationQueue_(kOperationQueueName) {
    operationQueue_.setUnderlyingQueue(analyticsQueue_);
    operationQueue_.setSuspended(true);
}

APMAnalytics& APMAnalytics::shared() {
    // Never destroyed: its queues may still run while the process exits.
    static auto* facade = new APMAnalytics;
    return *facade;
}

void APMAnalytics::resetSharedForTesting() {
    APMAnalytics& facade = shared();
    {
        platform::MutexLock lock(facade.mutex_);
        facade.started_ = false;
    }
    facade.operationQueue_.setSuspended(true);
    platform::MutexLock lock(facade.waitingMutex_);
    facade.waiting_.clear();
}

void APMAnalytics::startWithAppID(const std::string& appID, const std::string& origin,
                                  const platform::Value::Dictionary& options) {
    shared().start(appID, origin, options);
}

void APMAnalytics::start(const std::string& appID, const std::string& origin,
                         const platform::Value::Dictionary& options) {
    platform::MutexLock lock(mutex_);
    if (started_) return;
    started_ = true;
    APMIdentifiers::sharedInstance()->setOrigin(origin);
    // It follows the application's activity from the start on.
    APMScreenViewReporter::sharedInstance();
    analyticsQueue_->async(
        [appID, links = engineLinks(options)] { APMMeasurement::sharedInstanceWithAppID(appID, links); });
    operationQueue_.setSuspended(false);
}

void APMAnalytics::logEventWithOrigin(const std::string& origin, bool isPublicEvent, const std::string& name,
                                      APMObjectParameters parameters) {
    logEventWithOrigin(origin, isPublicEvent, name, APMLoggedParameters(std::move(parameters)));
}

void APMAnalytics::logEventWithOrigin(const std::string& origin, bool isPublicEvent, const std::string& name,
                                      APMLoggedParameters parameters) {
    if (isPublicEvent) {
        int failure = V::kNoFailure;
        if (!V::isValidPublicEventName(name, &failure)) return reportRefusedName(name, failure);
    }
    shared().queueEvent(origin, isPublicEvent, name, std::move(parameters));
}

void APMAnalytics::logInternalEventWithOrigin(const std::string& origin, const std::string& name,
                                              APMObjectParameters parameters) {
    logEventWithOrigin(origin, false, name, std::move(parameters));
}

void APMAnalytics::queueEvent(const std::string& origin, bool isPublicEvent, const std::string& name,
                              APMLoggedParameters parameters) {
    if (!parameters.hasScreenParameters()) {
        for (auto& [screenName, value] : APMScreenViewReporter::sharedInstance()->screenParameters())
            parameters.emplace(screenName, std::move(value));
    }
    // Stamped and queued in one step, so the engine takes events in the order of their times. The block
    // has run when sync returns, so it goes by reference: a copy of its captures would cost an allocation
    // for every event.
    const auto stampAndQueue = [&] {
        const double timestamp = platform::NSDate::now().timeIntervalSince1970();
        bool handOverQueued;
        {
            platform::MutexLock lock(waitingMutex_);
            handOverQueued = !waiting_.empty();
            // Only a public name was checked before it came here.
            waiting_.push_back({origin, isPublicEvent, name, timestamp, std::move(parameters), isPublicEvent});
        }
        if (!handOverQueued) operationQueue_.addOperationWithBlock([this] { handWaitingEventsToEngine(); });
    };
    timestampQueue_->sync(std::cref(stampAndQueue));
}

void APMAnalytics::handWaitingEventsToEngine() {
    // The list left behind has room for as many as this batch had, made outside the lock: events come
    // in bursts, and a list growing from empty under the lock copies itself over and over.
    std::vector<APMLoggedEvent> events;
    events.reserve(lastBatchSize_);
    {
        platform::MutexLock lock(waitingMutex_);
        events.swap(waiting_);
    }
    lastBatchSize_ = events.size();
    if (auto engine = APMMeasurement::sharedInstance()) engine->logEvents(std::move(events));
}

bool APMAnalytics::persistentConfigInApplicationSupportEnabled() {
    return APMUserDefaults::standardUserDefaults()->boolForKey(kPersistentConfigInApplicationSupportKey);
}

void APMAnalytics::setPersistentConfigInApplicationSupportEnabled(bool enabled) {
    APMUserDefaults::standardUserDefaults()->setBool(enabled, kPersistentConfigInApplicationSupportKey);
}

APMFacadeLinks APMAnalytics::engineLinks(const platform::Value::Dictionary& options) {
    std::optional<std::string> serviceURL;
    const auto named = options.find(kMeasurementServiceURLKey);
    if (named != options.end() && named->second.stringValue()) serviceURL = *named->second.stringValue();
    return {serviceURL, &APMConsentSettingsUtil::isAnalyticsStorageDenied,
            &persistentConfigInApplicationSupportEnabled, &setPersistentConfigInApplicationSupportEnabled};
}

}  // namespace analytics
