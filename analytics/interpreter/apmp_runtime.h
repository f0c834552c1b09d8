#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analytics/interpreter/apmp_module.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_error_additions.h"

namespace analytics {

// Runs a program's statements and keeps what they leave behind: the modules they required and the
// activities loaded for later events. It knows one command, "require" with a module name; a control
// value ("return", "break", "continue") has nothing to leave at the top level and is refused there.
class APMPRuntime {
public:
    using ModuleCreator = std::function<std::shared_ptr<APMPModule>()>;

    static constexpr const char* kErrorDomain = "APMPEventEditingErrorDomain";
    enum ErrorCode : std::int64_t {
        kInvalidProgram = 1,
        kUnknownEntityType = 2,
        kStatementWithoutCommand = 3,
        kTopLevelControlValue = 4,
        kUnknownCommand = 5,
        kUnknownModule = 6,
        kActivityWithoutName = 7,
        kNestedTooDeep = 8,
    };
    // Deeper programs are refused before they are walked.
    static constexpr int kMaxEntityDepth = 64;

    // The version of the program language this runtime runs, sent with every configuration request.
    static std::int64_t runtimeVersion() { return 1; }

    void setModuleCreator(ModuleCreator creator, const std::string& name);
    // Made by its creator at the first require, then kept; nullptr when not required.
    std::shared_ptr<APMPModule> moduleNamed(const std::string& name) const;

    bool runStatement(const APMPBRuntimeEntity& entity, APMErrorOut error);
    bool loadActivity(const APMPBOgtActivity& activity, APMErrorOut error);
    // The names of the loaded activities.
    std::vector<std::string> activityNames() const;

private:
    bool require(const APMPBRuntimeEntity& statement, APMErrorOut error);

    std::map<std::string, ModuleCreator> moduleCreators_;
    std::map<std::string, std::shared_ptr<APMPModule>> modules_;
    std::map<std::string, std::shared_ptr<APMPBOgtActivity>> activities_;
};

}  // namespace analytics
