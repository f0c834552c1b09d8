// The current user properties in "user_attributes".
#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/foundation/apm_name_maps.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_like_pattern.h"
#include "analytics/storage/apm_record_columns.h"
#include "analytics/storage/apm_storable_object.h"

namespace analytics {

namespace {

constexpr const char* kTable = "user_attributes";
constexpr const char* kLifetimeValuePrefix = "_ltv_";

// A value that cannot be read back gives no property, and no error: the row is left out.
std::optional<APMUserAttribute> attributeFromRecord(const APMSqliteStore::Record& record, APMErrorOut error) {
    if (!APMCheckCondition(!record.empty(), error, 3, "Received empty dictionary for getting user property"))
        return std::nullopt;
    const auto stored = record.find("value");
    const auto value = stored == record.end() ? std::nullopt : APMValue::valueFromObject(stored->second);
    const std::string* origin = APMStringColumn(record, "origin");
    const std::string* name = APMStringColumn(record, "name");
    if (!value || !name) return std::nullopt;
    return APMUserAttribute::initWithOrigin(origin ? *origin : "", *name, *value,
                                            APMNumberColumn(record, "set_timestamp").value_or(0));
}

bool isPublicUserAttributeName(const std::string& name) {
    return !name.empty() && name.front() != '_' && !APMDataTypeValidator::hasReservedPrefixes(name) &&
           !APMUserPropertyNameMap().contains(name);
}

}  // namespace

std::optional<std::int64_t> APMDatabase::publicUserAttributeCount(APMErrorOut error) {
    return integerForQuery("SELECT count(1) FROM user_attributes WHERE name NOT LIKE '!_%' ESCAPE '!'", {},
                           error);
}

std::optional<std::int64_t> APMDatabase::userAttributeCountForOrigin(const std::string& origin,
                                                                     APMErrorOut error) {
    if (!APMCheckCondition(!origin.empty(), error, 1, "Received empty user property origin for count query"))
        return std::nullopt;
    return integerForQuery("SELECT count(1) FROM user_attributes WHERE origin = ?", {origin}, error);
}

std::optional<bool> APMDatabase::containsUserAttributeWithName(const std::string& name, APMErrorOut error) {
    if (!APMCheckCondition(!name.empty(), error, 1, "Received empty user property name for exists query"))
        return std::nullopt;
    return booleanForQuery("SELECT EXISTS (SELECT 1 FROM user_attributes WHERE name = ? LIMIT 1)", {name},
                           error);
}

std::optional<APMUserAttribute> APMDatabase::userAttributeWithName(const std::string& name,
                                                                   APMErrorOut error) {
    return firstDataTypeFromTableWithName<APMUserAttribute>(kTable, "name", name, error, attributeFromRecord);
}

std::optional<std::vector<APMUserAttribute>> APMDatabase::allLifetimeValueUserAttributes(APMErrorOut error) {
    // The prefix matches literally: "_" would otherwise match any character, so "altv_x" would count.
    const auto records = recordsFromTable(
        kTable, std::string("WHERE name LIKE ? || '%'") + kAPMLikeEscape + " ORDER BY set_timestamp DESC",
        {APMLikeEscaped(kLifetimeValuePrefix)}, error);
    if (!records) return std::nullopt;
    return readableDataTypes<APMUserAttribute>(*records, kTable, attributeFromRecord);
}

std::optional<std::vector<APMUserAttribute>> APMDatabase::userAttributesIncludingInternal(
    bool includingInternal, APMErrorOut error) {
    auto attributes = allDataTypesFromTableWithName<APMUserAttribute>(kTable, kUserAttributesTableLimit,
                                                                      error, attributeFromRecord);
    if (attributes && !includingInternal) {
        std::erase_if(*attributes, [](const APMUserAttribute& attribute) {
            return !isPublicUserAttributeName(attribute.name());
        });
    }
    return attributes;
}

bool APMDatabase::updateUserAttribute(const std::optional<APMUserAttribute>& attribute, APMErrorOut error) {
    if (!APMCheckCondition(attribute.has_value(), error, 3,
                           "Received empty user property for getting dictionary representation") ||
        !APMCheckCondition(
            !attribute->origin().empty(), error, 3,
            "Received user property with empty origin for getting dictionary representation") ||
        !APMCheckCondition(!attribute->name().empty(), error, 1,
                           "Received user property with empty name for getting dictionary representation")) {
        return false;
    }
    const std::string* text = attribute->value().stringValue();
    if (!APMCheckCondition(!text || !text->empty(), error, 1,
                           "Received empty string value for user property"))
        return false;
    const Record record{{"origin", attribute->origin()},
                        {"name", attribute->name()},
                        {"value", APMStorableObjectFromValue(attribute->value())},
                        {"set_timestamp", attribute->lastSetTimestamp()}};
    return upsertDataType(record, kTable, "name", attribute->name(), kUserAttributesTableLimit, error);
}

bool APMDatabase::deleteUserAttributeWithName(const std::string& name, APMErrorOut error) {
    auto* store = openStore(error);
    return store && store->deleteRecordFromTableWithName(kTable, "name", name, error);
}

}  // namespace analytics
