#include <gtest/gtest.h>

#include "tests/analytics/storage/database_test_support.h"

using namespace analytics;
using quorvel::testing::describe;

namespace {

class PurchasesAndComplexEvents : public quorvel::testing::OpenMeasurementDatabaseTest {
protected:
    bool stored(const std::string& table, const std::string& column, const std::string& value) {
        return database->sqliteStore()
                   ->numberForQuery("SELECT count(1) FROM " + table + " WHERE " + column + " = ?", {value},
                                    nullptr)
                   ->intValue() == 1;
    }
};

}  // namespace

TEST_F(PurchasesAndComplexEvents, TheThousandAndFirstFingerprintTrimsTheOldest) {
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(database->insertIfNotDuplicatePurchaseFingerprint("tx-" + std::to_string(i), &error), true);
    EXPECT_EQ(count("purchase_transactions"), 1000);
    EXPECT_EQ(database->insertIfNotDuplicatePurchaseFingerprint("tx-1000", &error), true);
    EXPECT_EQ(count("purchase_transactions"), 1000);
    EXPECT_FALSE(stored("purchase_transactions", "fingerprint", "tx-0"));
    EXPECT_TRUE(stored("purchase_transactions", "fingerprint", "tx-1"));
    EXPECT_TRUE(stored("purchase_transactions", "fingerprint", "tx-1000"));
    // A duplicate, or no fingerprint at all, is no new purchase and no error.
    EXPECT_EQ(database->insertIfNotDuplicatePurchaseFingerprint("tx-1000", &error), false);
    EXPECT_EQ(database->insertIfNotDuplicatePurchaseFingerprint("", &error), false);
    EXPECT_FALSE(error);
}

TEST_F(PurchasesAndComplexEvents, SubscriptionsAreTrimmedOnlyWhenAsked) {
    for (int i = 0; i < 1002; ++i)
        ASSERT_EQ(database->insertIfNotDuplicateSubscriptionID("sub-" + std::to_string(i), &error), true);
    EXPECT_EQ(database->insertIfNotDuplicateSubscriptionID("sub-5", &error), false);
    EXPECT_EQ(count("subscriptions"), 1002);
    EXPECT_EQ(database->deleteSubscriptionsOverLimit(&error), 2);
    EXPECT_FALSE(stored("subscriptions", "subscription_id", "sub-1"));
    EXPECT_TRUE(stored("subscriptions", "subscription_id", "sub-2"));
}

TEST_F(PurchasesAndComplexEvents, AMainEventIsKeptWithItsChildCountUntilDeleted) {
    ASSERT_TRUE(database->updateComplexEventForAudienceEvaluationWithEventID(
        42, 3, event("purchase", {{"value", 9.5}, {"currency", "EUR"}}), &error))
        << describe(error);
    const auto pair = database->mainEventAndChildCountPairWithEventID(42, &error);
    ASSERT_TRUE(pair) << describe(error);
    EXPECT_EQ(pair->first.name(), "purchase");
    EXPECT_EQ(pair->first.parameters().at("value"), APMValue::initWithDouble(9.5));
    EXPECT_EQ(pair->second, 3);

    ASSERT_TRUE(
        database->updateComplexEventForAudienceEvaluationWithEventID(42, 2, event("purchase"), &error));
    EXPECT_EQ(database->mainEventAndChildCountPairWithEventID(42, &error)->second, 2);
    ASSERT_TRUE(database->deleteComplexEventForAudienceEvaluationWithEventID(42, &error));
    EXPECT_FALSE(database->mainEventAndChildCountPairWithEventID(42, &error));
    EXPECT_FALSE(error);

    EXPECT_FALSE(database->updateComplexEventForAudienceEvaluationWithEventID(1, 1, std::nullopt, &error));
    EXPECT_EQ(describe(error), "Received nil main event");
}

TEST_F(PurchasesAndComplexEvents, AMainEventThatDoesNotDecodeIsAnError) {
    ASSERT_TRUE(
        database->sqliteStore()->executeSQL("INSERT INTO main_event_params VALUES (7, 1, x'ffff')", nullptr));
    EXPECT_FALSE(database->mainEventAndChildCountPairWithEventID(7, &error));
    EXPECT_EQ(describe(error), "Main event blob is nil in database");
    EXPECT_EQ(error->code(), 3);
}
