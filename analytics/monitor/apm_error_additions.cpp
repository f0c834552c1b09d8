#include "analytics/monitor/apm_error_additions.h"

namespace analytics {

const std::string& kAPMErrorDomain = *new std::string("com.vuziri.vmp.measurement.ErrorDomain");
const std::string& kAPMMonitorContextKey = *new std::string("APMMonitorContext");

std::shared_ptr<platform::NSError> apm_errorWithCode(std::int64_t code, const std::string& description) {
    return apm_errorWithCode(code, description, "");
}

std::shared_ptr<platform::NSError> apm_errorWithCode(std::int64_t code, const std::string& description,
                                                     const std::string& monitorContext) {
    platform::NSError::UserInfo userInfo;
    if (!description.empty()) userInfo[platform::NSLocalizedDescriptionKey] = description;
    if (!monitorContext.empty()) userInfo[kAPMMonitorContextKey] = monitorContext;
    return platform::NSError::errorWithDomain(kAPMErrorDomain, code, std::move(userInfo));
}

void APMSetError(APMErrorOut error, std::int64_t code, const std::string& description) {
    if (error) *error = apm_errorWithCode(code, description);
}

void APMSetErrorWithMonitorContext(APMErrorOut error, std::int64_t code, const std::string& description,
                                   const std::string& monitorContext) {
    if (error) *error = apm_errorWithCode(code, description, monitorContext);
}

bool APMCheckPointer(const void* pointer, APMErrorOut error, std::int64_t code,
                     std::string_view description) {
    if (pointer) return true;
    APMSetErrorWithMonitorContext(error, code, std::string(description), "");
    return false;
}

bool APMCheckNonZero(std::uint64_t count, APMErrorOut error, std::int64_t code,
                     std::string_view description) {
    if (count != 0) return true;
    APMSetErrorWithMonitorContext(error, code, std::string(description), "");
    return false;
}

std::string APMMonitorContextsFromErrors(const std::vector<APMLogContext>& contexts) {
    std::string joined;
    for (const auto& context : contexts) {
        const platform::NSError* error = context.error();
        if (!error || error->domain() != kAPMErrorDomain) continue;
        const auto found = error->userInfo().find(kAPMMonitorContextKey);
        if (found == error->userInfo().end() || found->second.empty()) continue;
        if (!joined.empty()) joined += ",";
        joined += found->second;
    }
    return joined;
}

}  // namespace analytics
