#pragma once

#include <memory>
#include <string>

#include "platform/foundation/value.h"

namespace platform {
class DispatchQueue;
}

namespace analytics {

// The consent store: the app's consent for each kind of storage ("granted" or "denied"), kept with the
// library's state and read and written on its own serial queue.
class APMConsentSettingsUtil {
public:
    static constexpr const char* kQueueLabel = "APMConsentSettingsQueue";
    static constexpr const char* kConsentKey = "/vuziri/measurement/consent_settings";
    static constexpr const char* kAnalyticsStorage = "analytics_storage";

    // Never while the remote configuration keeps consent settings off; otherwise when the stored
    // consent for "analytics_storage" is "denied".
    static bool isAnalyticsStorageDenied();
    // Merges the given kinds into the stored consent; a value other than "granted" or "denied" is ignored.
    static void setConsent(const platform::Value::Dictionary& consent);

private:
    static const std::shared_ptr<platform::DispatchQueue>& queue();
};

}  // namespace analytics
