#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"

namespace analytics_test {

using Entity = std::shared_ptr<APMPBRuntimeEntity>;

inline std::vector<NanoObject> asObjects(const std::vector<std::shared_ptr<NANOMessageBase>>& messages) {
    return std::vector<NanoObject>(messages.begin(), messages.end());
}

inline Entity entityOfType(std::int32_t type) {
    auto entity = APMPBRuntimeEntity::initWithBuffer();
    APMNanoSetInt32(entity.get(), apmpb_fields::RuntimeEntity::kType, type);
    return entity;
}

inline Entity text(const std::string& value) {
    auto entity = entityOfType(1);
    APMNanoSetStringField(entity.get(), apmpb_fields::RuntimeEntity::kStringValue, value);
    return entity;
}

// A statement; an empty command leaves the field unset.
inline Entity statement(const std::string& command,
                        const std::vector<std::shared_ptr<NANOMessageBase>>& arguments = {}) {
    auto entity = entityOfType(4);
    if (!command.empty()) APMNanoSetStringField(entity.get(), apmpb_fields::RuntimeEntity::kCommand, command);
    const auto objects = asObjects(arguments);
    APMNanoSetArray(entity.get(), apmpb_fields::RuntimeEntity::kValue, &objects);
    return entity;
}

inline Entity require(const std::string& module) {
    return statement("require", {text(module)});
}

struct ActivitySpec {
    std::string name;
    std::vector<std::shared_ptr<NANOMessageBase>> data;
};

inline std::shared_ptr<APMPBProgram> program(
    const std::vector<std::shared_ptr<NANOMessageBase>>& instructions,
    const std::vector<ActivitySpec>& activities = {}) {
    auto made = APMPBProgram::initWithBuffer();
    const auto statements = asObjects(instructions);
    APMNanoSetArray(made.get(), apmpb_fields::Program::kInstructions, &statements);
    if (!activities.empty()) {
        std::vector<NanoObject> list;
        for (const auto& wanted : activities) {
            auto activity = APMPBOgtActivity::initWithBuffer();
            if (!wanted.name.empty())
                APMNanoSetStringField(activity.get(), apmpb_fields::OgtActivity::kName, wanted.name);
            const auto data = asObjects(wanted.data);
            APMNanoSetArray(activity.get(), apmpb_fields::OgtActivity::kData, &data);
            list.emplace_back(std::shared_ptr<NANOMessageBase>(activity));
        }
        auto holder = APMPBOgtActivities::initWithBuffer();
        APMNanoSetArray(holder.get(), apmpb_fields::OgtActivities::kActivities, &list);
        APMNanoSetMessage(made.get(), apmpb_fields::Program::kActivities, holder.get());
    }
    return made;
}

}  // namespace analytics_test
