#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class DispatchQueue;
}

namespace analytics {

class APMRemoteConfig;
class APMScheduler;

// Fetches the measurement configuration from the service and hands it to the remote configuration on
// the worker queue. The request itself runs on a queue of its own, so events keep flowing while it
// waits. Anything but a readable configuration with status 200 leaves the active one as it was.
class APMRemoteConfigFetcher {
public:
    static constexpr const char* kPlatform = "ios";
    // Told on the worker queue whether a fetched configuration became the active one.
    using Completion = std::function<void(bool applied)>;

    explicit APMRemoteConfigFetcher(APMScheduler& scheduler);

    // Nothing is fetched without a configuration URL (no service named, or no app instance ID).
    void fetch(const std::shared_ptr<APMRemoteConfig>& config,
               const std::optional<std::string>& appInstanceID, Completion completion = nullptr);

private:
    APMScheduler& scheduler_;
    const std::shared_ptr<platform::DispatchQueue> networkQueue_;
};

}  // namespace analytics
