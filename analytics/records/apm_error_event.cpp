#include "analytics/records/apm_error_event.h"

#include "analytics/foundation/apm_string_additions.h"
#include "analytics/records/apm_error_parameters.h"
#include "analytics/records/apm_event_error_code.h"
#include "platform/foundation/mutex.h"

namespace analytics {

namespace {

struct LoggerSlot {
    platform::Mutex mutex;
    APMInternalEventLogger logger GUARDED_BY(mutex);
};

// Never destroyed: queues may still report errors while the process exits.
LoggerSlot& slot() {
    static auto* slot = new LoggerSlot;
    return *slot;
}

void logErrorEvent(const APMValue::Parameters& parameters) {
    APMInternalEventLogger logger;
    {
        platform::MutexLock lock(slot().mutex);
        logger = slot().logger;
    }
    if (logger) logger("auto", "_err", APMObjectParametersFrom(parameters));
}

bool isStringLongerThan(const APMValue& value, std::size_t maximum) {
    const std::string* text = value.stringValue();
    return text && apm_UTF32Length(*text) > maximum;
}

}  // namespace

void APMSetInternalEventLogger(APMInternalEventLogger logger) {
    platform::MutexLock lock(slot().mutex);
    slot().logger = std::move(logger);
}

void APMLogErrorCode(std::int64_t code) {
    if (code == 0) return;
    logErrorEvent({{"_err", APMValue::initWithInt64(code)}});
}

void APMLogErrorEvent(std::int64_t code, const std::optional<std::string>& name, std::size_t maximum,
                      const std::optional<APMValue>& value) {
    if (code == 0) return;
    APMValue::Parameters parameters{{"_err", APMValue::initWithInt64(code)}};
    const bool reportsLength = value && (code == APMEventErrorCode::UserPropertyValueTooLong ||
                                         code == APMEventErrorCode::InvalidParameterValue ||
                                         isStringLongerThan(*value, maximum));
    APMAddErrorValueParameters(parameters, name, maximum, reportsLength ? value : std::nullopt);
    logErrorEvent(parameters);
}

}  // namespace analytics
