#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analytics/engine/apm_environment.h"
#include "analytics/engine/apm_logged_event.h"
#include "analytics/records/apm_logged_parameters.h"
#include "analytics/records/apm_object_parameters.h"
#include "platform/dispatch/ns_operation_queue.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/value.h"

namespace platform {
class DispatchQueue;
}

namespace analytics {

// The facade behind the public interface. It checks the names apps log, adds the current screen, stamps
// the time on "APMAnalyticsTimestampQueue" and queues the event on its operation queue, which hands it
// to "APMAnalyticsQueue" and from there to the engine. Events stamped while earlier ones still wait for
// that operation go with them, so a burst of events is one operation. The operation queue is held until
// the library starts, so events logged before are kept and reach the engine in order after it is made.
// It also keeps the stored switch that says where the persisted state lives.
class APMAnalytics {
public:
    static constexpr const char* kAnalyticsQueueLabel = "APMAnalyticsQueue";
    static constexpr const char* kTimestampQueueLabel = "APMAnalyticsTimestampQueue";
    static constexpr const char* kOperationQueueName = "APMAnalyticsOperationQueue";
    static constexpr const char* kMeasurementServiceURLKey = "MEASUREMENT_SERVICE_URL";
    static constexpr const char* kPersistentConfigInApplicationSupportKey =
        "persistent_config_in_application_support_enabled";

    // Starts the library once: the engine is made on the facade's queue, then the held events follow.
    // The options are the service property list, whose kMeasurementServiceURLKey names where the
    // configuration is fetched from (none named: no fetch).
    static void startWithAppID(const std::string& appID, const std::string& origin,
                               const platform::Value::Dictionary& options);
    // A public event whose name is refused is reported as an "_err" event instead. The parameters are
    // taken by value and moved along to the engine: a caller handing a temporary copies nothing.
    static void logEventWithOrigin(const std::string& origin, bool isPublicEvent, const std::string& name,
                                   APMObjectParameters parameters);
    static void logEventWithOrigin(const std::string& origin, bool isPublicEvent, const std::string& name,
                                   APMLoggedParameters parameters);
    static void logInternalEventWithOrigin(const std::string& origin, const std::string& name,
                                           APMObjectParameters parameters);

    // Keep the persisted state in a file in the library's folder rather than in the preferences: the
    // value in this layer's defaults store, false when absent. A change takes effect at the next
    // creation of the persisted state.
    static bool persistentConfigInApplicationSupportEnabled();
    static void setPersistentConfigInApplicationSupportEnabled(bool enabled);
    // What the engine's start is offered: the service options, the consent store and this switch.
    static APMFacadeLinks engineLinks(const platform::Value::Dictionary& options);
    // Tests: the facade as before the start, holding events again, with none waiting.
    static void resetSharedForTesting();

private:
    APMAnalytics();
    static APMAnalytics& shared();

    void start(const std::string& appID, const std::string& origin,
               const platform::Value::Dictionary& options) EXCLUDES(mutex_);
    void queueEvent(const std::string& origin, bool isPublicEvent, const std::string& name,
                    APMLoggedParameters parameters) EXCLUDES(waitingMutex_);
    void handWaitingEventsToEngine() EXCLUDES(waitingMutex_);

    const std::shared_ptr<platform::DispatchQueue> analyticsQueue_;
    const std::shared_ptr<platform::DispatchQueue> timestampQueue_;
    platform::NSOperationQueue operationQueue_;
    platform::Mutex mutex_;
    bool started_ GUARDED_BY(mutex_) = false;
    platform::Mutex waitingMutex_;
    // Stamped, in the order of their times, and not yet handed to the engine.
    std::vector<APMLoggedEvent> waiting_ GUARDED_BY(waitingMutex_);
    std::size_t lastBatchSize_ = 0;  // analytics queue only
};

}  // namespace analytics
