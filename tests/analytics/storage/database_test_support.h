#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/records/apm_event.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_persisted_config.h"
#include "platform/foundation/ns_date.h"
#include "tests/analytics/storage/chosen_limits.h"
#include "tests/analytics/storage/sqlite_test_support.h"

namespace quorvel::testing {

// A measurement database in a fresh data root, with a persisted state and limits each test chooses.
class MeasurementDatabaseTest : public SqliteStoreTest {
protected:
    using Database = analytics::APMDatabase;
    using Bundle = APMPBMeasurementBundle;

    void TearDown() override { clock->runUntilIdle(); }

    std::shared_ptr<Database> openDatabase(Error* error = nullptr) {
        return Database::initWithDatabaseName(Database::kDatabaseName, persistedConfig, error,
                                              [this] { return limits; });
    }

    double now() const { return platform::NSDate::now().timeIntervalSince1970(); }

    static analytics::APMEvent event(const std::string& name,
                                     const platform::Value::Dictionary& parameters = {},
                                     double timestamp = 1700000000.5) {
        return *analytics::APMEvent::initWithOrigin("app", true, name, timestamp, 0,
                                                    analytics::APMObjectParametersFrom(parameters));
    }

    // Bundle metadata told apart by its app version.
    static std::shared_ptr<Bundle> metadata(const std::string& appVersion) {
        auto bundle = Bundle::initWithBuffer();
        APMNanoSetStringField(bundle.get(), apmpb_fields::MeasurementBundle::kPlatform, "ios");
        APMNanoSetStringField(bundle.get(), apmpb_fields::MeasurementBundle::kAppVersion, appVersion);
        return bundle;
    }

    static std::int64_t fingerprintOf(const Bundle& bundle) {
        return analytics::apm_64LSBMD5(*bundle.protoBuffer());
    }

    std::int64_t count(const std::string& table) {
        return database->sqliteStore()->rowCountForTableWithName(table, nullptr).value_or(-1);
    }

    std::shared_ptr<analytics::APMPersistedConfig> persistedConfig =
        analytics::APMPersistedConfig::initWithSuiteName("com.vuziri.vmp.measurement.test");
    std::shared_ptr<ChosenLimits> limits = std::make_shared<ChosenLimits>();
    Error error;
    std::shared_ptr<Database> database;
};

// The same, with the database open before each case.
class OpenMeasurementDatabaseTest : public MeasurementDatabaseTest {
protected:
    void SetUp() override {
        database = openDatabase(&error);
        ASSERT_TRUE(database) << describe(error);
    }
};

}  // namespace quorvel::testing
