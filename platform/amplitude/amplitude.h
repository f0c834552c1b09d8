#pragma once

#include <memory>
#include <string>

#include "platform/amplitude/amp_identify.h"
#include "platform/foundation/json_lines_file.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/value.h"

namespace platform {

// The second analytics service the app reports sessions to. Nothing leaves the machine: every call is
// recorded as one JSON line in "Library/Application Support/Amplitude/events.jsonl" under the data root.
// Identify calls and events wait for the API key: without one
// there is no service to send them to, and they are dropped.
class Amplitude {
public:
    // The shared instance, or nullptr when the app runs without the service (tests take it away).
    static std::shared_ptr<Amplitude> instance();
    static void setInstance(std::shared_ptr<Amplitude> instance);

    void initializeApiKey(const std::string& apiKey) EXCLUDES(mutex_);
    void identify(const AMPIdentify& identify) EXCLUDES(mutex_);
    void logEvent(const std::string& eventType) { logEvent(eventType, {}); }
    void logEvent(const std::string& eventType, const Value::Dictionary& eventProperties) EXCLUDES(mutex_);

    // The recorded calls, one JSON object per line.
    static JSONLinesFile& log();

private:
    bool record(Value::Dictionary call) EXCLUDES(mutex_);

    Mutex mutex_;
    std::string apiKey_ GUARDED_BY(mutex_);
};

}  // namespace platform
