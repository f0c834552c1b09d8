#include "analytics/interpreter/apmp_event_editing.h"

#include "analytics/messages/nano_field_access.h"

namespace analytics {

namespace {

using Program = apmpb_fields::Program;
using Activities = apmpb_fields::OgtActivities;

}  // namespace

std::shared_ptr<APMPEventEditing> APMPEventEditing::init() {
    return std::shared_ptr<APMPEventEditing>(new APMPEventEditing());
}

void APMPEventEditing::setModuleCreator(ModuleCreator creator, const std::string& name) {
    runtime_->setModuleCreator(std::move(creator), name);
}

void APMPEventEditing::loadProgram(const APMPBProgram* program, APMErrorOut error) {
    if (!error) return;
    if (!program) {
        *error = platform::NSError::errorWithDomain(APMPRuntime::kErrorDomain, APMPRuntime::kInvalidProgram,
                                                    {{platform::NSLocalizedDescriptionKey, "No program"}});
        return;
    }
    for (const auto& statement :
         APMNanoGetMessagesOrEmpty<APMPBRuntimeEntity>(program, Program::kInstructions)) {
        if (!runtime_->runStatement(*statement, error)) return;
    }
    const auto activities = APMNanoGetMessage<APMPBOgtActivities>(program, Program::kActivities);
    if (!activities) return;
    for (const auto& activity :
         APMNanoGetMessagesOrEmpty<APMPBOgtActivity>(activities.get(), Activities::kActivities)) {
        if (!runtime_->loadActivity(*activity, error)) return;
    }
}

}  // namespace analytics
