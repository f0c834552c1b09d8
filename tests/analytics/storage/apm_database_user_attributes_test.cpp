#include <gtest/gtest.h>

#include <algorithm>

#include "analytics/foundation/apm_name_maps.h"
#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using quorvel::testing::describe;
using quorvel::testing::runOnOwnConnection;

namespace {

class UserAttributes : public quorvel::testing::OpenMeasurementDatabaseTest {
protected:
    void set(const std::string& name, const APMValue& value, double time = 100,
             const std::string& origin = "app") {
        ASSERT_TRUE(database->updateUserAttribute(APMUserAttribute::initWithOrigin(origin, name, value, time),
                                                  &error))
            << describe(error);
    }

    std::vector<std::string> names(const std::optional<std::vector<APMUserAttribute>>& attributes) {
        std::vector<std::string> found;
        for (const auto& attribute : attributes.value()) found.push_back(attribute.name());
        std::sort(found.begin(), found.end());
        return found;
    }

    static APMValue text(const std::string& value) { return *APMValue::initWithString(value); }
};

}  // namespace

TEST_F(UserAttributes, EachKindOfValueComesBackAsItsKind) {
    set("plan", text("gold"), 12.5, "auto");
    set("level", APMValue::initWithInt64(-42));
    set("score", APMValue::initWithDouble(2.0));

    const auto plan = database->userAttributeWithName("plan", &error);
    ASSERT_TRUE(plan) << describe(error);
    EXPECT_EQ(plan->value(), text("gold"));
    EXPECT_EQ(plan->origin(), "auto");
    EXPECT_EQ(plan->lastSetTimestamp(), 12.5);
    EXPECT_EQ(database->userAttributeWithName("level", &error)->value(), APMValue::initWithInt64(-42));
    // A whole double stays a double.
    EXPECT_EQ(database->userAttributeWithName("score", &error)->value(), APMValue::initWithDouble(2.0));

    EXPECT_EQ(database->containsUserAttributeWithName("plan", &error), true);
    EXPECT_EQ(database->containsUserAttributeWithName("plans", &error), false);
    EXPECT_EQ(database->userAttributeCountForOrigin("app", &error), 2);
    ASSERT_TRUE(database->deleteUserAttributeWithName("plan", &error));
    EXPECT_FALSE(database->userAttributeWithName("plan", &error));
    EXPECT_FALSE(error);
}

TEST_F(UserAttributes, AFullTableTakesAnUpdateButNoNewName) {
    std::string sql = "BEGIN;";
    for (int i = 0; i < 1000; ++i)
        sql += "INSERT INTO user_attributes VALUES ('p" + std::to_string(i) + "', 1, 'v', 'app');";
    ASSERT_TRUE(runOnOwnConnection(path, sql + "COMMIT;"));
    set("p0", text("changed"));
    EXPECT_EQ(database->userAttributeWithName("p0", &error)->value(), text("changed"));
    EXPECT_FALSE(database->updateUserAttribute(APMUserAttribute::initWithOrigin("app", "p1000", text("v"), 1),
                                               &error));
    EXPECT_EQ(describe(error), "Failed to insert data type. Table is full");
    EXPECT_EQ(count("user_attributes"), 1000);
}

TEST_F(UserAttributes, ThePublicListLeavesOutInternalReservedAndMappedNames) {
    set("plan", text("gold"));
    set("_ltv_USD", APMValue::initWithDouble(3.5));
    set("vuziri_source", text("x"), 100, "auto");
    // A public name the name map turns into an internal one.
    const std::string mapped = APMUserPropertyNameMap().begin()->first;
    set(mapped, text("x"), 100, "auto");
    EXPECT_EQ(database->publicUserAttributeCount(&error), 3);

    EXPECT_EQ(names(database->userAttributesIncludingInternal(false, &error)),
              std::vector<std::string>{"plan"});
    EXPECT_EQ(names(database->userAttributesIncludingInternal(true, &error)).size(), 4u);
}

TEST_F(UserAttributes, LifetimeValuesMatchTheirPrefixLiterallyNewestFirst) {
    set("_ltv_USD", APMValue::initWithDouble(3.5), 10);
    set("_ltv_EUR", APMValue::initWithDouble(1.5), 20);
    // "_" is no wildcard: these are not lifetime values.
    set("altv_x", text("x"));
    set("_ltvUSD", text("x"));
    // A row whose value cannot be read does not hide the others.
    ASSERT_TRUE(
        runOnOwnConnection(path, "INSERT INTO user_attributes VALUES ('_ltv_GBP', 30, x'00', 'app')"));

    const auto values = database->allLifetimeValueUserAttributes(&error);
    ASSERT_TRUE(values) << describe(error);
    ASSERT_EQ(values->size(), 2u);
    EXPECT_EQ((*values)[0].name(), "_ltv_EUR");
    EXPECT_EQ((*values)[1].name(), "_ltv_USD");
    EXPECT_TRUE(logged("12060"));
}
