#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/monitor/apm_log_context.h"
#include "platform/foundation/ns_error.h"

namespace analytics {

// The library's errors: its domain, an optional description and an optional monitor context (a short
// machine-readable text the monitor adds to the health sample when the error is logged).
// Never destroyed: errors are made on background queues until the process ends.
extern const std::string& kAPMErrorDomain;
extern const std::string& kAPMMonitorContextKey;

using APMErrorOut = std::shared_ptr<platform::NSError>*;

std::shared_ptr<platform::NSError> apm_errorWithCode(std::int64_t code, const std::string& description);
std::shared_ptr<platform::NSError> apm_errorWithCode(std::int64_t code, const std::string& description,
                                                     const std::string& monitorContext);

// Fill `error` when the caller gave one; a null out-parameter is fine.
void APMSetError(APMErrorOut error, std::int64_t code, const std::string& description);
void APMSetErrorWithMonitorContext(APMErrorOut error, std::int64_t code, const std::string& description,
                                   const std::string& monitorContext);

// Precondition checks for chaining with &&: the first that fails fills the error and answers false.
// The description is a view, so a check that passes on a hot path makes no string.
template <std::integral T>
bool APMCheckCondition(T condition, APMErrorOut error, std::int64_t code, std::string_view description) {
    if (condition & 1) return true;
    APMSetErrorWithMonitorContext(error, code, std::string(description), "");
    return false;
}

template <typename Object>
bool APMCheckNotNil(const Object& object, APMErrorOut error, std::int64_t code,
                    std::string_view description) {
    if (object) return true;
    APMSetErrorWithMonitorContext(error, code, std::string(description), "");
    return false;
}

bool APMCheckPointer(const void* pointer, APMErrorOut error, std::int64_t code, std::string_view description);
bool APMCheckNonZero(std::uint64_t count, APMErrorOut error, std::int64_t code, std::string_view description);

// The monitor contexts of the library's own errors among `contexts`, joined by ",".
std::string APMMonitorContextsFromErrors(const std::vector<APMLogContext>& contexts);

}  // namespace analytics
