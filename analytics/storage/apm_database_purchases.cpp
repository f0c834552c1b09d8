// The fingerprints of reported purchases and the reported subscription IDs, each kept once.
#include "analytics/storage/apm_database.h"

namespace analytics {

namespace {

constexpr const char* kPurchasesTable = "purchase_transactions";
constexpr const char* kSubscriptionsTable = "subscriptions";

}  // namespace

std::optional<bool> APMDatabase::insertIfNotDuplicatePurchaseFingerprint(const std::string& fingerprint,
                                                                         APMErrorOut error) {
    const auto inserted = insertIfNotDuplicate(kPurchasesTable, "fingerprint", fingerprint, error);
    if (!inserted || !*inserted) return inserted;
    if (!deleteRowsOverLimit(kPurchasesTable, kPurchaseTransactionsLimit, error)) return std::nullopt;
    return true;
}

std::optional<bool> APMDatabase::insertIfNotDuplicateSubscriptionID(const std::string& subscriptionID,
                                                                    APMErrorOut error) {
    return insertIfNotDuplicate(kSubscriptionsTable, "subscription_id", subscriptionID, error);
}

std::optional<std::int64_t> APMDatabase::deleteSubscriptionsOverLimit(APMErrorOut error) {
    return deleteRowsOverLimit(kSubscriptionsTable, kSubscriptionsLimit, error);
}

std::optional<bool> APMDatabase::insertIfNotDuplicate(const std::string& tableName,
                                                      const std::string& columnName, const std::string& value,
                                                      APMErrorOut error) {
    if (value.empty()) return false;
    const auto exists = booleanForQuery(
        "SELECT EXISTS (SELECT 1 FROM " + tableName + " WHERE " + columnName + " = ? LIMIT 1)", {value},
        error);
    if (!exists || *exists) return exists ? std::optional<bool>(false) : std::nullopt;
    if (!upsertRecord({{columnName, value}}, tableName, error)) return std::nullopt;
    return true;
}

// Keeps the newest `limit` rows by row ID.
std::optional<std::int64_t> APMDatabase::deleteRowsOverLimit(const std::string& tableName, std::int64_t limit,
                                                             APMErrorOut error) {
    auto* store = openStore(error);
    if (!store) return std::nullopt;
    return store->deleteRecordsFromTableWithName(
        tableName, "rowid IN (SELECT rowid FROM " + tableName + " ORDER BY rowid DESC LIMIT -1 OFFSET ?)",
        {limit}, error);
}

}  // namespace analytics
