// Conditional user properties in "conditional_properties".
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_event_blob.h"
#include "analytics/storage/apm_like_pattern.h"
#include "analytics/storage/apm_record_columns.h"
#include "analytics/storage/apm_storable_object.h"
#include "platform/foundation/ns_date.h"

namespace analytics {

namespace {

using Property = APMConditionalUserProperty;
constexpr const char* kTable = "conditional_properties";

double now() {
    return platform::NSDate::now().timeIntervalSince1970();
}

// A stored event that does not decode makes the whole row unreadable.
bool readEvent(const APMSqliteStore::Record& record, const char* column, std::int32_t maxPublicParameters,
               Property& property, void (Property::*set)(std::optional<APMEvent>), APMErrorOut error) {
    const auto found = record.find(column);
    if (found == record.end() || found->second.isNull()) return true;
    auto event = APMEventFromData(found->second, maxPublicParameters, error);
    if (!event) return false;
    (property.*set)(std::move(event));
    return true;
}

std::optional<Property> propertyFromRecord(const APMSqliteStore::Record& record, std::int32_t maxPublicParameters,
                                           APMErrorOut error) {
    if (record.empty()) return std::nullopt;
    const auto stored = record.find("value");
    auto value = stored == record.end() ? std::nullopt : APMValue::valueFromObject(stored->second);
    const std::string* name = APMStringColumn(record, "name");
    const std::string* origin = APMStringColumn(record, "origin");
    if (!name || !origin || !value) return std::nullopt;
    Property property;
    property.setName(*name);
    property.setOrigin(*origin);
    property.setValue(std::move(value));
    property.setTriggerTimeout(APMNumberColumn(record, "trigger_timeout").value_or(0));
    property.setTimeToLive(APMNumberColumn(record, "time_to_live").value_or(0));
    if (const std::string* trigger = APMStringColumn(record, "trigger_event_name"))
        property.setTriggerEventName(*trigger);
    if (!readEvent(record, "triggered_event", maxPublicParameters, property, &Property::setTriggeredEvent, error) ||
        !readEvent(record, "timed_out_event", maxPublicParameters, property, &Property::setTimedOutEvent, error) ||
        !readEvent(record, "expired_event", maxPublicParameters, property, &Property::setExpiredEvent, error)) {
        return std::nullopt;
    }
    property.setActive(APMIntegerColumn(record, "active").value_or(0) != 0);
    property.setCreationTimestamp(APMNumberColumn(record, "creation_timestamp").value_or(0));
    property.setTriggeredTimestamp(APMNumberColumn(record, "triggered_timestamp").value_or(0));
    return property;
}

// Adds an event's blob to the record when the event is set and encodes.
void addEvent(APMSqliteStore::Record& record, const char* column, const std::optional<APMEvent>& event) {
    if (!event) return;
    if (auto data = APMDataFromEvent(*event)) record.emplace(column, std::move(*data));
}

// Reads properties whose events keep the configuration's number of public parameters.
auto propertyReader(std::int32_t maxPublicParameters) {
    return [maxPublicParameters](const APMSqliteStore::Record& record, APMErrorOut error) {
        return propertyFromRecord(record, maxPublicParameters, error);
    };
}

}  // namespace

std::optional<APMConditionalUserProperty> APMDatabase::conditionalUserPropertyWithName(
    const std::string& name, APMErrorOut error) {
    return firstDataTypeFromTableWithName<Property>(kTable, "name", name, error,
                                                    propertyReader(limits()->maxPublicEventParams()));
}

bool APMDatabase::updateConditionalUserProperty(const std::optional<APMConditionalUserProperty>& property,
                                                APMErrorOut error) {
    if (!APMCheckCondition(
            property.has_value(), error, 3,
            "Received empty conditional user property for getting dictionary representation") ||
        !APMCheckCondition(
            !property->name().empty(), error, 3,
            "Received conditional user property with empty name for getting dictionary representation") ||
        !APMCheckCondition(
            !property->origin().empty(), error, 3,
            "Received conditional user property with empty origin for getting dictionary representation") ||
        !APMCheckCondition(
            property->value().has_value(), error, 3,
            "Received conditional user property with nil value for getting dictionary representation")) {
        return false;
    }
    Record record{{"name", property->name()},
                  {"origin", property->origin()},
                  {"value", APMStorableObjectFromValue(*property->value())},
                  {"creation_timestamp", property->creationTimestamp()},
                  {"active", property->isActive()},
                  {"trigger_timeout", property->triggerTimeout()},
                  {"triggered_timestamp", property->triggeredTimestamp()},
                  {"time_to_live", property->timeToLive()}};
    if (!property->triggerEventName().empty())
        record.emplace("trigger_event_name", property->triggerEventName());
    addEvent(record, "triggered_event", property->triggeredEvent());
    addEvent(record, "timed_out_event", property->timedOutEvent());
    addEvent(record, "expired_event", property->expiredEvent());
    return upsertDataType(record, kTable, "name", property->name(), kConditionalPropertiesTableLimit, error);
}

bool APMDatabase::deleteConditionalUserPropertyWithName(const std::string& name, APMErrorOut error) {
    auto* store = openStore(error);
    return store && store->deleteRecordFromTableWithName(kTable, "name", name, error);
}

std::optional<std::vector<APMConditionalUserProperty>>
APMDatabase::timedOutConditionalUserPropertiesWithError(APMErrorOut error) {
    return conditionalUserPropertiesWithCondition(
        "active=0 and abs(? - creation_timestamp) > trigger_timeout", {now()}, error);
}

std::optional<std::vector<APMConditionalUserProperty>> APMDatabase::expiredConditionalUserPropertiesWithError(
    APMErrorOut error) {
    return conditionalUserPropertiesWithCondition("active=1 and abs(? - triggered_timestamp) > time_to_live",
                                                  {now()}, error);
}

std::optional<std::vector<APMConditionalUserProperty>>
APMDatabase::triggeredConditionalUserPropertiesWithEventName(const std::string& eventName,
                                                             APMErrorOut error) {
    if (!APMCheckCondition(
            !eventName.empty(), error, 1,
            "Received nil/empty event name for querying triggered conditional user properties"))
        return std::nullopt;
    return conditionalUserPropertiesWithCondition(
        "active=0 and trigger_event_name=? and abs(? - creation_timestamp) <= trigger_timeout",
        {eventName, now()}, error);
}

std::optional<std::vector<APMConditionalUserProperty>> APMDatabase::conditionalUserPropertiesWithPrefix(
    const std::string& prefix, const std::string& origin, APMErrorOut error) {
    // Both match literally: a "_" or "%" in them is no wildcard.
    std::string condition;
    Values values;
    if (!origin.empty()) {
        condition = std::string("origin LIKE ?") + kAPMLikeEscape;
        values.push_back(APMLikeEscaped(origin));
    }
    if (!prefix.empty()) {
        condition += (condition.empty() ? "" : " AND ") + std::string("name LIKE ? || '%'") + kAPMLikeEscape;
        values.push_back(APMLikeEscaped(prefix));
    }
    return conditionalUserPropertiesWithCondition(condition.empty() ? "1 == 1" : condition, values, error);
}

std::optional<std::vector<APMConditionalUserProperty>> APMDatabase::conditionalUserPropertiesWithCondition(
    const std::string& condition, const Values& parameterValues, APMErrorOut error) {
    if (!APMCheckCondition(!condition.empty(), error, 1,
                           "Received empty condition for querying a conditional user property"))
        return std::nullopt;
    const auto records = recordsFromTable(kTable, "WHERE " + condition, parameterValues, error);
    if (!records) return std::nullopt;
    return readableDataTypes<Property>(*records, kTable, propertyReader(limits()->maxPublicEventParams()));
}

}  // namespace analytics
