#include "analytics/storage/apm_conditional_user_property_controller.h"

#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_perform_transaction.h"
#include "platform/foundation/ns_date.h"

namespace analytics {

std::shared_ptr<APMConditionalUserPropertyController> APMConditionalUserPropertyController::initWithDatabase(
    std::shared_ptr<APMDatabase> database) {
    if (!database) return nullptr;
    return std::shared_ptr<APMConditionalUserPropertyController>(
        new APMConditionalUserPropertyController(std::move(database)));
}

bool APMConditionalUserPropertyController::setConditionalUserProperty(
    const APMConditionalUserProperty& property, APMErrorOut error) {
    return APMPerformTransaction(*database_, error, [&](APMErrorOut error) {
        return database_->updateConditionalUserProperty(property, error) &&
               (!property.isActive() || setUserProperty(property, error));
    });
}

bool APMConditionalUserPropertyController::clearConditionalUserPropertyWithName(const std::string& name,
                                                                                APMErrorOut error) {
    return APMPerformTransaction(*database_, error, [&](APMErrorOut error) {
        const auto stored = database_->conditionalUserPropertyWithName(name, error);
        if (!stored) return !error || !*error;
        return deleteProperty(*stored, error);
    });
}

std::optional<APMConditionalUserProperty>
APMConditionalUserPropertyController::conditionalUserPropertyWithName(const std::string& name,
                                                                      APMErrorOut error) {
    return database_->conditionalUserPropertyWithName(name, error);
}

std::optional<std::vector<APMConditionalUserProperty>>
APMConditionalUserPropertyController::conditionalUserPropertiesWithPrefix(const std::string& prefix,
                                                                          const std::string& origin,
                                                                          APMErrorOut error) {
    return database_->conditionalUserPropertiesWithPrefix(prefix, origin, error);
}

std::optional<std::vector<APMConditionalUserProperty>>
APMConditionalUserPropertyController::triggerConditionalUserPropertiesWithEventName(
    const std::string& eventName, APMErrorOut error) {
    const double now = platform::NSDate::now().timeIntervalSince1970();
    return applyToEach(
        error,
        [&](APMErrorOut error) {
            return database_->triggeredConditionalUserPropertiesWithEventName(eventName, error);
        },
        [&](APMConditionalUserProperty& property, APMErrorOut error) {
            property.setActive(true);
            property.setTriggeredTimestamp(now);
            return database_->updateConditionalUserProperty(property, error) &&
                   setUserProperty(property, error);
        });
}

std::optional<std::vector<APMConditionalUserProperty>>
APMConditionalUserPropertyController::removeTimedOutConditionalUserProperties(APMErrorOut error) {
    return applyToEach(
        error,
        [&](APMErrorOut error) { return database_->timedOutConditionalUserPropertiesWithError(error); },
        [&](APMConditionalUserProperty& property, APMErrorOut error) {
            return deleteProperty(property, error);
        });
}

std::optional<std::vector<APMConditionalUserProperty>>
APMConditionalUserPropertyController::removeExpiredConditionalUserProperties(APMErrorOut error) {
    return applyToEach(
        error, [&](APMErrorOut error) { return database_->expiredConditionalUserPropertiesWithError(error); },
        [&](APMConditionalUserProperty& property, APMErrorOut error) {
            return deleteProperty(property, error);
        });
}

std::optional<APMConditionalUserPropertyController::Properties>
APMConditionalUserPropertyController::applyToEach(
    APMErrorOut error, const std::function<std::optional<Properties>(APMErrorOut)>& find,
    const std::function<bool(APMConditionalUserProperty&, APMErrorOut)>& apply) {
    Properties properties;
    const bool applied = APMPerformTransaction(*database_, error, [&](APMErrorOut error) {
        auto found = find(error);
        if (!found) return false;
        for (auto& property : *found) {
            if (!apply(property, error)) return false;
        }
        properties = std::move(*found);
        return true;
    });
    return applied ? std::optional(std::move(properties)) : std::nullopt;
}

bool APMConditionalUserPropertyController::setUserProperty(const APMConditionalUserProperty& property,
                                                           APMErrorOut error) {
    return database_->updateUserAttribute(
        APMUserAttribute::initWithOrigin(property.origin(), property.name(), *property.value(),
                                         property.triggeredTimestamp()),
        error);
}

// An active property's user property goes with it.
bool APMConditionalUserPropertyController::deleteProperty(const APMConditionalUserProperty& property,
                                                          APMErrorOut error) {
    return database_->deleteConditionalUserPropertyWithName(property.name(), error) &&
           (!property.isActive() || database_->deleteUserAttributeWithName(property.name(), error));
}

}  // namespace analytics
