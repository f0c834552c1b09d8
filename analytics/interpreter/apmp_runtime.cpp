#include "analytics/interpreter/apmp_runtime.h"

#include <set>

#include "analytics/messages/nano_field_access.h"

namespace analytics {

namespace {

using Entity = apmpb_fields::RuntimeEntity;
using Activity = apmpb_fields::OgtActivity;

enum EntityType : std::int32_t { kString = 1, kStatement = 4 };

const std::set<std::string>& controlCommands() {
    static const std::set<std::string> commands = {"return", "break", "continue"};
    return commands;
}

bool fail(APMErrorOut error, APMPRuntime::ErrorCode code, const std::string& description) {
    if (error)
        *error = platform::NSError::errorWithDomain(APMPRuntime::kErrorDomain, code,
                                                    {{platform::NSLocalizedDescriptionKey, description}});
    return false;
}

std::vector<std::shared_ptr<APMPBRuntimeEntity>> arguments(const APMPBRuntimeEntity& entity) {
    return APMNanoGetMessagesOrEmpty<APMPBRuntimeEntity>(&entity, Entity::kValue);
}

// Every node has a known type and every statement a command, down to the leaves.
bool checkStructure(const APMPBRuntimeEntity& entity, int depth, APMErrorOut error) {
    if (depth > APMPRuntime::kMaxEntityDepth)
        return fail(error, APMPRuntime::kNestedTooDeep, "Program nests deeper than the runtime walks");
    const std::int32_t type = APMNanoGetInt32(&entity, Entity::kType);
    if (type < kString || type > kStatement)
        return fail(error, APMPRuntime::kUnknownEntityType,
                    "Unknown runtime entity type " + std::to_string(type));
    if (type == kStatement && APMNanoGetString(&entity, Entity::kCommand).value_or("").empty())
        return fail(error, APMPRuntime::kStatementWithoutCommand, "Statement without a command");
    for (const auto& argument : arguments(entity)) {
        if (!checkStructure(*argument, depth + 1, error)) return false;
    }
    return true;
}

}  // namespace

void APMPRuntime::setModuleCreator(ModuleCreator creator, const std::string& name) {
    moduleCreators_.insert_or_assign(name, std::move(creator));
}

std::shared_ptr<APMPModule> APMPRuntime::moduleNamed(const std::string& name) const {
    auto found = modules_.find(name);
    return found == modules_.end() ? nullptr : found->second;
}

bool APMPRuntime::runStatement(const APMPBRuntimeEntity& entity, APMErrorOut error) {
    if (!checkStructure(entity, 0, error)) return false;
    // A plain value at the top level is evaluated and left.
    if (APMNanoGetInt32(&entity, Entity::kType) != kStatement) return true;
    const std::string command = *APMNanoGetString(&entity, Entity::kCommand);
    if (controlCommands().count(command))
        return fail(error, kTopLevelControlValue, "Control value \"" + command + "\" at the top level");
    if (command == "require") return require(entity, error);
    return fail(error, kUnknownCommand, "Unknown command \"" + command + "\"");
}

bool APMPRuntime::require(const APMPBRuntimeEntity& statement, APMErrorOut error) {
    const auto names = arguments(statement);
    const bool named = names.size() == 1 && APMNanoGetInt32(names.front().get(), Entity::kType) == kString;
    const std::string name =
        named ? APMNanoGetString(names.front().get(), Entity::kStringValue).value_or("") : "";
    auto creator = moduleCreators_.find(name);
    if (creator == moduleCreators_.end() || !creator->second)
        return fail(error, kUnknownModule, "No module named \"" + name + "\"");
    if (modules_.count(name)) return true;
    auto module = creator->second();
    if (!module) return fail(error, kUnknownModule, "The module \"" + name + "\" could not be made");
    modules_.emplace(name, std::move(module));
    return true;
}

bool APMPRuntime::loadActivity(const APMPBOgtActivity& activity, APMErrorOut error) {
    const std::string name = APMNanoGetString(&activity, Activity::kName).value_or("");
    if (name.empty()) return fail(error, kActivityWithoutName, "Activity without a name");
    for (const auto& entity : APMNanoGetMessagesOrEmpty<APMPBRuntimeEntity>(&activity, Activity::kData)) {
        if (!checkStructure(*entity, 0, error)) return false;
    }
    auto copy =
        APMPBOgtActivity::initWithBuffer(activity.protoBuffer().value_or(std::vector<std::uint8_t>{}));
    activities_.insert_or_assign(name, std::move(copy));
    return true;
}

std::vector<std::string> APMPRuntime::activityNames() const {
    std::vector<std::string> names;
    for (const auto& [name, activity] : activities_) names.push_back(name);
    return names;
}

}  // namespace analytics
