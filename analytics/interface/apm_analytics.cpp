#include "analytics/interface/apm_analytics.h"

#include "analytics/engine/apm_measurement.h"
#include "analytics/storage/apm_user_defaults.h"

namespace analytics {

bool APMAnalytics::persistentConfigInApplicationSupportEnabled() {
    return APMUserDefaults::standardUserDefaults()->boolForKey(kPersistentConfigInApplicationSupportKey);
}

void APMAnalytics::setPersistentConfigInApplicationSupportEnabled(bool enabled) {
    APMUserDefaults::standardUserDefaults()->setBool(enabled, kPersistentConfigInApplicationSupportKey);
}

APMPersistedConfig::Links APMAnalytics::persistedConfigLinks() {
    return {&APMMeasurement::remoteConfig, &persistentConfigInApplicationSupportEnabled,
            &setPersistentConfigInApplicationSupportEnabled};
}

}  // namespace analytics
