#include "analytics/interface/apm_analytics.h"

#include <gtest/gtest.h>

#include "analytics/config/apm_remote_config.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_persistent_dictionary.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
namespace fs = std::filesystem;

TEST(APMAnalyticsPersistentConfig, SwitchIsStoredAndOffWhenAbsent) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    EXPECT_FALSE(APMAnalytics::persistentConfigInApplicationSupportEnabled());
    APMAnalytics::setPersistentConfigInApplicationSupportEnabled(true);
    EXPECT_TRUE(APMAnalytics::persistentConfigInApplicationSupportEnabled());
    EXPECT_EQ(platform::NSUserDefaults::standardUserDefaults()->objectForKey(
                  "persistent_config_in_application_support_enabled"),
              platform::Value(true));
}

// A loaded configuration that asks for the library's folder moves the persisted state there at the
// next start.
TEST(APMAnalyticsPersistentConfig, LoadedConfigurationDecidesWhereTheNextStartKeepsTheState) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    const auto links = APMMeasurement::environmentFor(APMAnalytics::engineLinks({})).persistedConfig;
    auto config = APMPersistedConfig::initWithSuiteName(APMPersistedConfig::kSuiteName, links);
    config->setAppInstanceID("before");
    EXPECT_FALSE(APMAnalytics::persistentConfigInApplicationSupportEnabled());

    auto loaded = APMRemoteConfig::initWithAppID("1:1:ios:1", nullptr, nullptr, nullptr);
    loaded->parseSettings({{"measurement.persistent_config_in_application_support_enabled", "1"}});
    APMMeasurement::setRemoteConfig(loaded);
    config->setAppVersion("1.0");
    EXPECT_TRUE(APMAnalytics::persistentConfigInApplicationSupportEnabled());
    clock->advance(1);

    auto next = APMPersistedConfig::initWithSuiteName(APMPersistedConfig::kSuiteName, links);
    EXPECT_TRUE(std::dynamic_pointer_cast<APMPersistentDictionary>(next->store()));
    EXPECT_EQ(next->appInstanceID(), "before");
    EXPECT_TRUE(fs::exists(APMMeasurementDirectoryPlistPath(APMPersistedConfig::kSuiteName)));
    APMMeasurement::setRemoteConfig(nullptr);
}
