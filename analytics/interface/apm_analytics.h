#pragma once

#include "analytics/storage/apm_persisted_config.h"

namespace analytics {

// The facade behind the library's public interface. So far: the stored switch that says where the
// persisted state lives, and the links that give the persisted state what it asks of the layers above it.
class APMAnalytics {
public:
    static constexpr const char* kPersistentConfigInApplicationSupportKey =
        "persistent_config_in_application_support_enabled";

    // Keep the persisted state in a file in the library's folder rather than in the preferences: the
    // value in this layer's defaults store, false when absent. A change takes effect at the next
    // creation of the persisted state.
    static bool persistentConfigInApplicationSupportEnabled();
    static void setPersistentConfigInApplicationSupportEnabled(bool enabled);

    // The engine's active remote configuration and this switch, for APMPersistedConfig::wireLinks: the
    // start of the library hands them over before the engine first asks for the persisted state.
    static APMPersistedConfig::Links persistedConfigLinks();
};

}  // namespace analytics
