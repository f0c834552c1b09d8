#pragma once

#include <memory>
#include <string>

#include "analytics/interpreter/apmp_runtime.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_error_additions.h"

namespace analytics {

// The entry of event editing: it loads the configuration's program into its own runtime, with the
// modules the host offers.
class APMPEventEditing {
public:
    using ModuleCreator = APMPRuntime::ModuleCreator;

    // Over a new runtime.
    static std::shared_ptr<APMPEventEditing> init();

    // Called by the runtime when a program requires the module by that name.
    void setModuleCreator(ModuleCreator creator, const std::string& name);
    // Runs the top-level statements in order, then loads each activity. A failure is told only through
    // `error`, which must be given; the runtime keeps what ran before it.
    void loadProgram(const APMPBProgram* program, APMErrorOut error);

    const APMPRuntime& runtime() const { return *runtime_; }

private:
    APMPEventEditing() : runtime_(std::make_unique<APMPRuntime>()) {}

    const std::unique_ptr<APMPRuntime> runtime_;
};

}  // namespace analytics
