#include "analytics/interface/apm_consent_settings_util.h"

#include "analytics/config/apm_remote_config.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/dispatch/dispatch_queue.h"

namespace analytics {

const std::shared_ptr<platform::DispatchQueue>& APMConsentSettingsUtil::queue() {
    static auto* queue =
        new std::shared_ptr<platform::DispatchQueue>(platform::DispatchQueue::createSerial(kQueueLabel));
    return *queue;
}

bool APMConsentSettingsUtil::isAnalyticsStorageDenied() {
    if (!APMMeasurement::remoteConfig()->isConsentSettingsEnabled()) return false;
    bool denied = false;
    queue()->sync([&denied] {
        const auto stored = APMUserDefaults::standardUserDefaults()->dictionaryForKey(kConsentKey);
        if (!stored) return;
        const auto found = stored->find(kAnalyticsStorage);
        denied =
            found != stored->end() && found->second.stringValue() && *found->second.stringValue() == "denied";
    });
    return denied;
}

void APMConsentSettingsUtil::setConsent(const platform::Value::Dictionary& consent) {
    queue()->sync([&consent] {
        auto store = APMUserDefaults::standardUserDefaults();
        auto stored = store->dictionaryForKey(kConsentKey).value_or(platform::Value::Dictionary{});
        for (const auto& [kind, value] : consent) {
            const std::string* text = value.stringValue();
            if (text && (*text == "granted" || *text == "denied")) stored.insert_or_assign(kind, value);
        }
        store->setObject(platform::Value(stored), kConsentKey);
    });
}

}  // namespace analytics
