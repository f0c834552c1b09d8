#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/monitor/apm_error_additions.h"
#include "analytics/records/apm_conditional_user_property.h"

namespace analytics {

class APMDatabase;

// Keeps the conditional user properties in the measurement database and the user property each one
// sets while it is active. Every change runs in one transaction with the user property it affects. The
// operations that change properties answer them, so that the caller logs their triggered, timed-out or
// expired events. Called on the engine's worker queue, like the database beneath it.
class APMConditionalUserPropertyController {
public:
    static std::shared_ptr<APMConditionalUserPropertyController> initWithDatabase(
        std::shared_ptr<APMDatabase> database);

    // Stores the property in place of one of the same name; an active one sets its user property.
    bool setConditionalUserProperty(const APMConditionalUserProperty& property, APMErrorOut error);
    // Deletes the property and, when it was active, the user property it set.
    bool clearConditionalUserPropertyWithName(const std::string& name, APMErrorOut error);
    std::optional<APMConditionalUserProperty> conditionalUserPropertyWithName(const std::string& name,
                                                                              APMErrorOut error);
    std::optional<std::vector<APMConditionalUserProperty>> conditionalUserPropertiesWithPrefix(
        const std::string& prefix, const std::string& origin, APMErrorOut error);

    // The properties waiting for this event become active now and set their user properties.
    std::optional<std::vector<APMConditionalUserProperty>> triggerConditionalUserPropertiesWithEventName(
        const std::string& eventName, APMErrorOut error);
    // Those that waited longer than their trigger timeout are deleted.
    std::optional<std::vector<APMConditionalUserProperty>> removeTimedOutConditionalUserProperties(
        APMErrorOut error);
    // Those active longer than their time to live are deleted with the user properties they set.
    std::optional<std::vector<APMConditionalUserProperty>> removeExpiredConditionalUserProperties(
        APMErrorOut error);

private:
    explicit APMConditionalUserPropertyController(std::shared_ptr<APMDatabase> database)
        : database_(std::move(database)) {}

    using Properties = std::vector<APMConditionalUserProperty>;
    // In one transaction: the properties `find` answers, each handed to `apply`; all of it or nothing.
    std::optional<Properties> applyToEach(
        APMErrorOut error, const std::function<std::optional<Properties>(APMErrorOut)>& find,
        const std::function<bool(APMConditionalUserProperty&, APMErrorOut)>& apply);
    bool setUserProperty(const APMConditionalUserProperty& property, APMErrorOut error);
    bool deleteProperty(const APMConditionalUserProperty& property, APMErrorOut error);

    const std::shared_ptr<APMDatabase> database_;
};

}  // namespace analytics
