#include "analytics/storage/apm_persisted_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_persistent_dictionary.h"
#include "analytics/storage/apm_user_defaults.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/analytics/storage/chosen_limits.h"
#include "tests/support/temp_data_root.h"

using namespace analytics;
using platform::NSUserDefaults;
using platform::Value;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSuite = APMPersistedConfig::kSuiteName;

class PersistedConfigTest : public ::testing::Test {
protected:
    // Links whose switch is a plain flag and whose configuration's limits the test chooses.
    APMPersistedConfig::Links links() {
        return {[this] { return limits; }, [this] { return storeInApplicationSupport; },
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
    std::shared_ptr<APMStorageLimits> limits = APMStorageLimits::defaults();
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

using C = APMPersistedConfig;

template <typename T>
requires std::is_arithmetic_v<T> Value asValue(T value) {
    return Value(value);
}
Value asValue(const std::optional<std::string>& value) {
    return value ? Value(*value) : Value();
}
Value asValue(const std::optional<Value>& value) {
    return value.value_or(Value());
}
Value asValue(const std::optional<Value::Dictionary>& value) {
    return Value(value.value_or(Value::Dictionary{}));
}

// Sets `in` through the setter and reads it back through the getter; stored as Value(in) unless told.
template <typename Arg, typename Got, typename In>
KeyCase row(const char* key, In in, void (C::*set)(Arg), Got (C::*get)(),
            std::optional<Value> stored = std::nullopt, std::optional<Value> read = std::nullopt) {
    return {key, stored.value_or(Value(in)), [set, in](C& c) { (c.*set)(in); },
            [get](C& c) { return asValue((c.*get)()); }, read};
}

const std::vector<KeyCase>& keyCases() {
    static const std::vector<KeyCase> cases{
        row("/vuziri/measurement/last_delete_stale", 11.5, &C::setLastDeleteStaleBundlesTimestamp,
            &C::lastDeleteStaleBundlesTimestamp),
        row("/vuziri/measurement/search_ad_last_attempt_timestamp", 12.5, &C::setLastSearchAdLookUpTimestamp,
            &C::lastSearchAdLookUpTimestamp),
        row("/vuziri/measurement/search_ad_number_of_retries", 3, &C::setSearchAdRetryCount,
            &C::searchAdRetryCount),
        row("/vuziri/measurement/app_instance_id", "instance", &C::setAppInstanceID, &C::appInstanceID),
        row("/vuziri/measurement/vmp_app_id", "1:1:ios:1", &C::setAppIDFromVMP, &C::appIDFromVMP),
        row("/vuziri/measurement/ravad_app_id", "ravad", &C::setAppIDFromRaVad, &C::appIDFromRaVad),
        row("/vuziri/measurement/hashed_idfa", "d41d8cd9", &C::setHashedResettableDeviceID,
            &C::hashedResettableDeviceID),
        row("/vuziri/measurement/diversion_key", "dk", &C::setDiversionKey, &C::diversionKey),
        row("/vuziri/measurement/last_modified_since_key", "Mon", &C::setConfigServerLastModifiedString,
            &C::configServerLastModifiedString),
        row("/vuziri/measurement/config_etag", "\"etag\"", &C::setConfigServerETag, &C::configServerETag),
        row("/vuziri/measurement/last_backoff", 13.5, &C::setLastBackoffTimestamp, &C::lastBackoffTimestamp),
        row("/vuziri/measurement/last_successful_upload", 14.5, &C::setLastSuccessfulUploadTimestamp,
            &C::lastSuccessfulUploadTimestamp),
        row("/vuziri/measurement/last_failed_upload", 15.5, &C::setLastFailedUploadTimestamp,
            &C::lastFailedUploadTimestamp),
        row("/vuziri/measurement/app_version", "2.1", &C::setAppVersion, &C::appVersion),
        row("/vuziri/measurement/os_version", "17.0", &C::setOSVersion, &C::osVersion),
        row("/vuziri/measurement/last_monitor_data_sampled_timestamp", 16.5,
            &C::setLastMonitorDataSampledTimestamp, &C::lastMonitorDataSampledTimestamp),
        row("/vuziri/measurement/first_open_timestamp_ms", std::int64_t{1700000000123},
            &C::setFirstOpenTimestampMilliseconds, &C::firstOpenTimestampMilliseconds),
        row("/vuziri/measurement/deep_link_retry_count", 4, &C::setDeferredDeepLinkRetryCount,
            &C::deferredDeepLinkRetryCount),
        row("/vuziri/measurement/dazaraze_feature_rollouts", "r1", &C::setDazarazeFeatureRollouts,
            &C::dazarazeFeatureRollouts),
        row("/vuziri/measurement/set_last_advertising_id_reset", true,
            &C::setShouldSetLastAdvertisingIDResetUserProperty,
            &C::shouldSetLastAdvertisingIDResetUserProperty, Value(1), Value(true)),
        row("/vuziri/measurement/unmatched_first_open", true, &C::setUnmatchedFirstOpenWithoutIDFA,
            &C::unmatchedFirstOpenWithoutIDFA, Value(1), Value(true)),
        row("/vuziri/measurement/last_engagement_end", 17.5, &C::setLastSessionActivityClockTime,
            &C::lastSessionActivityClockTime),
        row("/vuziri/measurement/session_number", 9, &C::setSessionNumber, &C::sessionNumber),
        row("/vuziri/measurement/default_event_parameters", Value::Dictionary{{"p", Value(1)}},
            &C::setDefaultEventParameters, &C::defaultEventParameters),
        row("/vuziri/measurement/is_search_ad_campaign", Value(true), &C::setSearchAdCampaignValue,
            &C::searchAdCampaignValue),
        row("/vuziri/measurement/load_timestamp", Value(18.5), &C::setLoadTimestampValue,
            &C::loadTimestampValue),
        row("/vuziri/measurement/deep_link_retrieval_complete", Value(true),
            &C::setDeferredDeepLinkRetrievalComplete, &C::deferredDeepLinkRetrievalComplete),
        row("/vuziri/measurement/allow_personalized_ads", Value(false), &C::setAllowPersonalizedAds,
            &C::allowPersonalizedAds),
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
    EXPECT_NEAR(offset * 1000, std::round(offset * 1000), 1e-6);  // whole milliseconds, as a double can hold them

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

    auto received = std::make_shared<quorvel::testing::ChosenLimits>();
    received->storeInApplicationSupport = true;
    limits = received;
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
