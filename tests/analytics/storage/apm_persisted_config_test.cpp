#include "analytics/storage/apm_persisted_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_persistent_dictionary.h"
#include "analytics/storage/apm_remote_config.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::NSUserDefaults;
using platform::Value;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSuite = APMPersistedConfig::kSuiteName;

class PersistedConfigTest : public ::testing::Test {
protected:
    // Links whose switch is a plain flag and whose remote configuration the test chooses.
    APMPersistedConfig::Links links() {
        return {[this] { return remoteConfig; }, [this] { return storeInApplicationSupport; },
                [this](bool enabled) { switchWrites.push_back(enabled); }};
    }

    std::shared_ptr<APMPersistedConfig> make() {
        return APMPersistedConfig::initWithSuiteName(kSuite, links());
    }

    // Lets the pending save run, then starts the stores afresh as a new process would.
    void restart() {
        clock->advance(1);
        config.reset();
        NSUserDefaults::resetAllForTesting();
        config = make();
    }

    quorvel::testing::TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    platform::Console::Capture capture;
    std::shared_ptr<APMRemoteConfig> remoteConfig = APMRemoteConfig::defaultInstance();
    bool storeInApplicationSupport = false;
    std::vector<bool> switchWrites;
    std::shared_ptr<APMPersistedConfig> config = make();
};

// A property, the value its setter leaves in the store under its key, and what its getter answers.
struct KeyCase {
    const char* key;
    Value stored;
    std::function<void(APMPersistedConfig&)> set;
    std::function<Value(APMPersistedConfig&)> get;
    std::optional<Value> read = std::nullopt;  // when it differs from the stored value
};

Value text(const std::optional<std::string>& value) {
    return value ? Value(*value) : Value();
}

const std::vector<KeyCase>& keyCases() {
    using C = APMPersistedConfig;
    static const std::vector<KeyCase> cases{
        {"/vuziri/measurement/last_delete_stale", Value(11.5),
         [](C& c) { c.setLastDeleteStaleBundlesTimestamp(11.5); },
         [](C& c) { return Value(c.lastDeleteStaleBundlesTimestamp()); }},
        {"/vuziri/measurement/search_ad_last_attempt_timestamp", Value(12.5),
         [](C& c) { c.setLastSearchAdLookUpTimestamp(12.5); },
         [](C& c) { return Value(c.lastSearchAdLookUpTimestamp()); }},
        {"/vuziri/measurement/search_ad_number_of_retries", Value(3),
         [](C& c) { c.setSearchAdRetryCount(3); }, [](C& c) { return Value(c.searchAdRetryCount()); }},
        {"/vuziri/measurement/app_instance_id", Value("instance"),
         [](C& c) { c.setAppInstanceID("instance"); }, [](C& c) { return text(c.appInstanceID()); }},
        {"/vuziri/measurement/vmp_app_id", Value("1:1:ios:1"), [](C& c) { c.setAppIDFromVMP("1:1:ios:1"); },
         [](C& c) { return text(c.appIDFromVMP()); }},
        {"/vuziri/measurement/ravad_app_id", Value("ravad"), [](C& c) { c.setAppIDFromRaVad("ravad"); },
         [](C& c) { return text(c.appIDFromRaVad()); }},
        {"/vuziri/measurement/hashed_idfa", Value("d41d8cd9"),
         [](C& c) { c.setHashedResettableDeviceID("d41d8cd9"); },
         [](C& c) { return text(c.hashedResettableDeviceID()); }},
        {"/vuziri/measurement/diversion_key", Value("dk"), [](C& c) { c.setDiversionKey("dk"); },
         [](C& c) { return text(c.diversionKey()); }},
        {"/vuziri/measurement/last_modified_since_key", Value("Mon"),
         [](C& c) { c.setConfigServerLastModifiedString("Mon"); },
         [](C& c) { return text(c.configServerLastModifiedString()); }},
        {"/vuziri/measurement/config_etag", Value("\"etag\""),
         [](C& c) { c.setConfigServerETag("\"etag\""); }, [](C& c) { return text(c.configServerETag()); }},
        {"/vuziri/measurement/last_backoff", Value(13.5), [](C& c) { c.setLastBackoffTimestamp(13.5); },
         [](C& c) { return Value(c.lastBackoffTimestamp()); }},
        {"/vuziri/measurement/last_successful_upload", Value(14.5),
         [](C& c) { c.setLastSuccessfulUploadTimestamp(14.5); },
         [](C& c) { return Value(c.lastSuccessfulUploadTimestamp()); }},
        {"/vuziri/measurement/last_failed_upload", Value(15.5),
         [](C& c) { c.setLastFailedUploadTimestamp(15.5); },
         [](C& c) { return Value(c.lastFailedUploadTimestamp()); }},
        {"/vuziri/measurement/app_version", Value("2.1"), [](C& c) { c.setAppVersion("2.1"); },
         [](C& c) { return text(c.appVersion()); }},
        {"/vuziri/measurement/os_version", Value("17.0"), [](C& c) { c.setOSVersion("17.0"); },
         [](C& c) { return text(c.osVersion()); }},
        {"/vuziri/measurement/last_monitor_data_sampled_timestamp", Value(16.5),
         [](C& c) { c.setLastMonitorDataSampledTimestamp(16.5); },
         [](C& c) { return Value(c.lastMonitorDataSampledTimestamp()); }},
        {"/vuziri/measurement/first_open_timestamp_ms", Value(1700000000123),
         [](C& c) { c.setFirstOpenTimestampMilliseconds(1700000000123); },
         [](C& c) { return Value(c.firstOpenTimestampMilliseconds()); }},
        {"/vuziri/measurement/deep_link_retry_count", Value(4),
         [](C& c) { c.setDeferredDeepLinkRetryCount(4); },
         [](C& c) { return Value(c.deferredDeepLinkRetryCount()); }},
        {"/vuziri/measurement/dazaraze_feature_rollouts", Value("r1"),
         [](C& c) { c.setDazarazeFeatureRollouts("r1"); },
         [](C& c) { return text(c.dazarazeFeatureRollouts()); }},
        {"/vuziri/measurement/set_last_advertising_id_reset", Value(1),
         [](C& c) { c.setShouldSetLastAdvertisingIDResetUserProperty(true); },
         [](C& c) { return Value(c.shouldSetLastAdvertisingIDResetUserProperty()); }, Value(true)},
        {"/vuziri/measurement/unmatched_first_open", Value(1),
         [](C& c) { c.setUnmatchedFirstOpenWithoutIDFA(true); },
         [](C& c) { return Value(c.unmatchedFirstOpenWithoutIDFA()); }, Value(true)},
        {"/vuziri/measurement/last_engagement_end", Value(17.5),
         [](C& c) { c.setLastSessionActivityClockTime(17.5); },
         [](C& c) { return Value(c.lastSessionActivityClockTime()); }},
        {"/vuziri/measurement/session_number", Value(9), [](C& c) { c.setSessionNumber(9); },
         [](C& c) { return Value(c.sessionNumber()); }},
        {"/vuziri/measurement/default_event_parameters", Value(Value::Dictionary{{"p", Value(1)}}),
         [](C& c) {
             c.setDefaultEventParameters(Value::Dictionary{{"p", Value(1)}});
         },
         [](C& c) { return Value(c.defaultEventParameters().value_or(Value::Dictionary{})); }},
        {"/vuziri/measurement/is_search_ad_campaign", Value(true),
         [](C& c) { c.setSearchAdCampaignValue(Value(true)); },
         [](C& c) { return c.searchAdCampaignValue().value_or(Value()); }},
        {"/vuziri/measurement/load_timestamp", Value(18.5),
         [](C& c) { c.setLoadTimestampValue(Value(18.5)); },
         [](C& c) { return c.loadTimestampValue().value_or(Value()); }},
        {"/vuziri/measurement/deep_link_retrieval_complete", Value(true),
         [](C& c) { c.setDeferredDeepLinkRetrievalComplete(Value(true)); },
         [](C& c) { return c.deferredDeepLinkRetrievalComplete().value_or(Value()); }},
        {"/vuziri/measurement/allow_personalized_ads", Value(false),
         [](C& c) { c.setAllowPersonalizedAds(Value(false)); },
         [](C& c) { return c.allowPersonalizedAds().value_or(Value()); }},
    };
    return cases;
}

}  // namespace

TEST_F(PersistedConfigTest, EveryKeySurvivesARestartInEitherStore) {
    for (bool inApplicationSupport : {false, true}) {
        SCOPED_TRACE(inApplicationSupport ? "plist store" : "preferences store");
        storeInApplicationSupport = inApplicationSupport;
        config = make();
        for (const auto& test : keyCases()) test.set(*config);
        for (const auto& test : keyCases())
            EXPECT_EQ(config->store()->objectForKey(test.key), test.stored) << test.key;
        restart();
        for (const auto& test : keyCases()) {
            EXPECT_EQ(test.get(*config), test.read.value_or(test.stored)) << test.key;
            EXPECT_EQ(config->store()->objectForKey(test.key), test.stored)
                << test.key << " after the restart";
        }
        config->clearValues();
        clock->advance(1);
    }
}

TEST_F(PersistedConfigTest, BurstOfWritesSavesOnceASecondAfterTheLast) {
    auto suite = NSUserDefaults::suiteNamed(kSuite);
    const auto before = suite->synchronizeCount();
    config->setSessionNumber(1);
    clock->advance(0.5);
    config->setSessionNumber(2);
    clock->advance(0.75);
    EXPECT_EQ(suite->synchronizeCount(), before);
    clock->advance(0.25);
    EXPECT_EQ(suite->synchronizeCount(), before + 1);
    clock->advance(5);
    EXPECT_EQ(suite->synchronizeCount(), before + 1);

    config->setSessionNumber(3);
    config->cancelScheduledSynchronize();
    clock->advance(5);
    EXPECT_EQ(suite->synchronizeCount(), before + 1);
}

TEST_F(PersistedConfigTest, ReadsAnswerOnlyWhatTheirTypeHolds) {
    auto store = config->store();
    store->setObject(Value("12"), "/vuziri/measurement/session_number");
    EXPECT_EQ(config->sessionNumber(), 0);
    store->setObject(Value(7), "/vuziri/measurement/set_last_advertising_id_reset");
    EXPECT_TRUE(config->shouldSetLastAdvertisingIDResetUserProperty());
    store->setObject(Value(2.9), "/vuziri/measurement/deep_link_retry_count");
    EXPECT_EQ(config->deferredDeepLinkRetryCount(), 2);

    config->setSearchAdCampaignValue(Value(1));
    config->setSearchAdCampaignValue(Value("yes"));
    config->setSearchAdCampaignValue(std::nullopt);
    EXPECT_EQ(config->searchAdCampaignValue(), Value(1));
}

TEST_F(PersistedConfigTest, DictionaryWithAValueNoStoreCanKeepIsRefused) {
    config->setDefaultEventParameters(Value::Dictionary{{"kept", Value("yes")}});
    config->setDefaultEventParameters(Value::Dictionary{{"bad", Value()}});
    EXPECT_EQ(config->defaultEventParameters(), (Value::Dictionary{{"kept", Value("yes")}}));
    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS027002] Unsupported value passed in dictionary"));
    config->setDefaultEventParameters(std::nullopt);
    EXPECT_FALSE(config->defaultEventParameters());
}

TEST_F(PersistedConfigTest, CollectionSwitchLivesInTheStandardDefaultsAndOutlastsAClear) {
    auto standard = NSUserDefaults::standardUserDefaults();
    const auto before = standard->synchronizeCount();
    config->setMeasurementEnabledState(2);
    EXPECT_EQ(standard->synchronizeCount(), before + 1);  // saved at once, not a second later
    EXPECT_EQ(standard->objectForKey(APMPersistedConfig::kMeasurementEnabledStateKey), Value(2));
    config->setSessionNumber(5);

    config->clearValues();
    EXPECT_EQ(config->sessionNumber(), 0);
    EXPECT_EQ(config->measurementEnabledState(), 2);
}

TEST_F(PersistedConfigTest, MidnightOffsetIsDrawnOnceAndKept) {
    std::vector<double> seen(8);
    std::vector<std::thread> readers;
    for (std::size_t i = 0; i < seen.size(); ++i)
        readers.emplace_back([&, i] { seen[i] = config->midnightOffset(); });
    for (auto& reader : readers) reader.join();
    const double offset = seen.front();
    EXPECT_EQ(std::set<double>(seen.begin(), seen.end()).size(), 1u);
    EXPECT_GE(offset, 0);
    EXPECT_LT(offset, 86400);
    EXPECT_EQ(offset * 1000, std::round(offset * 1000));  // whole milliseconds

    restart();
    EXPECT_EQ(config->midnightOffset(), offset);
}

TEST_F(PersistedConfigTest, SwitchMovesTheStateBetweenPreferencesAndTheLibrarysFolder) {
    config->setAppInstanceID("moved along");
    clock->advance(1);
    const fs::path preferences = APMPreferencesPlistPath(kSuite);
    const fs::path own = APMMeasurementDirectoryPlistPath(kSuite);
    ASSERT_TRUE(fs::exists(preferences));

    storeInApplicationSupport = true;
    restart();
    EXPECT_TRUE(std::dynamic_pointer_cast<APMPersistentDictionary>(config->store()));
    EXPECT_FALSE(fs::exists(preferences));
    EXPECT_TRUE(fs::exists(own));
    EXPECT_EQ(config->appInstanceID(), "moved along");

    config->setAppVersion("3.0");
    storeInApplicationSupport = false;
    restart();
    EXPECT_TRUE(std::dynamic_pointer_cast<APMUserDefaults>(config->store()));
    EXPECT_FALSE(fs::exists(own));
    EXPECT_EQ(config->appInstanceID(), "moved along");
    EXPECT_EQ(config->appVersion(), "3.0");
}

TEST_F(PersistedConfigTest, FirstRealConfigurationAfterAWriteSetsTheSwitchOnce) {
    config->setSessionNumber(1);
    EXPECT_TRUE(switchWrites.empty());  // the default configuration says nothing

    remoteConfig = APMRemoteConfig::initWithAppID("1:1:ios:1", nullptr);
    remoteConfig->parseSettings({{"measurement.persistent_config_in_application_support_enabled", "1"}});
    config->setSessionNumber(2);
    config->setSessionNumber(3);
    EXPECT_EQ(switchWrites, std::vector<bool>{true});
}

TEST_F(PersistedConfigTest, StoreThatCannotBeMadeReadsNothingAndKeepsNothing) {
    fs::create_directories(fs::path(APMMeasurementDirectoryPlistPath(kSuite)).parent_path().parent_path());
    std::ofstream(fs::path(APMMeasurementDirectoryPlistPath(kSuite)).parent_path()) << "in the way";
    storeInApplicationSupport = true;
    config = make();
    EXPECT_FALSE(config->store());
    config->setSessionNumber(4);
    config->setAppInstanceID("lost");
    EXPECT_EQ(config->sessionNumber(), 0);
    EXPECT_FALSE(config->appInstanceID());
    EXPECT_EQ(config->midnightOffset(), 0);
    EXPECT_FALSE(APMPersistedConfig::initWithSuiteName("", links()));
}

TEST(PersistedConfigShared, OneInstanceOnTheMeasurementSuite) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    auto shared = APMPersistedConfig::sharedInstance();
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared, APMPersistedConfig::sharedInstance());
    EXPECT_EQ(shared->name(), "com.vuziri.vmp.measurement");
    EXPECT_TRUE(std::dynamic_pointer_cast<APMUserDefaults>(shared->store()));
}
