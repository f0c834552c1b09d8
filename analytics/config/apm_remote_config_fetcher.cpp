#include "analytics/config/apm_remote_config_fetcher.h"

#include "analytics/config/apm_remote_config.h"
#include "analytics/foundation/apm_scheduler.h"
#include "analytics/interpreter/apmp_runtime.h"
#include "analytics/monitor/apm_identity.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/vuziriutilities/vul_network_session.h"

namespace analytics {

namespace {

using Response = platform::VULNetworkSession::Response;

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

// The worker queue's half: judge the answer and apply it.
bool apply(APMRemoteConfig& config, const std::optional<Response>& response,
           const std::shared_ptr<platform::NSError>& error) {
    if (!response) {
        monitor()->logWithLevel(APMLogLevel::MonitoredWarning, 23020, "Failed to fetch configuration. Error",
                                error);
        return false;
    }
    if (response->statusCode != 200) {
        monitor()->logWithLevel(APMLogLevel::MonitoredWarning, 23021,
                                "Configuration fetch answered with an error status", response->statusCode);
        return false;
    }
    auto fetched = APMPBMeasurementConfig::initWithBuffer(response->body);
    if (!fetched) {
        monitor()->logWithLevel(APMLogLevel::MonitoredWarning, 23022,
                                "Cannot decode the fetched configuration");
        return false;
    }
    if (!config.updateMeasurementConfig(fetched)) return false;
    monitor()->logWithLevel(APMLogLevel::Debug, 23023, "Fetched configuration applied. Version",
                            config.version());
    return true;
}

}  // namespace

APMRemoteConfigFetcher::APMRemoteConfigFetcher(APMScheduler& scheduler)
    : scheduler_(scheduler), networkQueue_(platform::DispatchQueue::createSerial("APMRemoteConfigFetch")) {}

void APMRemoteConfigFetcher::fetch(const std::shared_ptr<APMRemoteConfig>& config,
                                   const std::optional<std::string>& appInstanceID, Completion completion) {
    const auto url = config->remoteConfigURLWithAppInstanceID(appInstanceID, std::string(kPlatform),
                                                              APMIdentity::rovUriduzuvareLibraryVersion(),
                                                              APMPRuntime::runtimeVersion());
    if (!url) {
        monitor()->logWithLevel(APMLogLevel::Debug, 23024,
                                "No configuration URL. The configuration is not fetched");
        if (completion) completion(false);
        return;
    }
    const double timeout = config->networkTimeout();
    networkQueue_->async([this, config, url = *url, timeout, completion = std::move(completion)] {
        auto error = std::make_shared<std::shared_ptr<platform::NSError>>();
        auto response = std::make_shared<std::optional<Response>>(
            platform::VULNetworkSession::GET(url, timeout, error.get()));
        scheduler_.scheduleOnWorkerQueueBlockID("APMRemoteConfigFetcher:apply",
                                                [config, response, error, completion] {
                                                    const bool applied = apply(*config, *response, *error);
                                                    if (completion) completion(applied);
                                                });
    });
}

}  // namespace analytics
