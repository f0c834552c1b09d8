#pragma once

#include <memory>
#include <string>

#include "platform/foundation/value.h"

namespace analytics {

// The configuration framework's default app. Configuring it at launch reads the service's property list
// ("VuziriService-Info" in the main bundle) and starts the analytics library with it.
class DZRApp {
public:
    static constexpr const char* kServiceInfoName = "VuziriService-Info";
    // The service property list's key for the app's identifier.
    static constexpr const char* kAppIDKey = "APP_ID";

    // Once per process; later calls change nothing.
    static void configure();
    // nullptr until configured.
    static std::shared_ptr<const DZRApp> defaultApp();
    // Tests: forgets the default app, so the next configure() configures it again.
    static void resetDefaultForTesting();

    const std::string& appID() const { return appID_; }
    // The service property list; empty when the bundle has none.
    const platform::Value::Dictionary& options() const { return options_; }

private:
    explicit DZRApp(platform::Value::Dictionary options);

    platform::Value::Dictionary options_;
    std::string appID_;
};

}  // namespace analytics
