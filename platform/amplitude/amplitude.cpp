#include "platform/amplitude/amplitude.h"

namespace platform {

namespace {

struct InstanceSlot {
    Mutex mutex;
    std::shared_ptr<Amplitude> instance GUARDED_BY(mutex) = std::make_shared<Amplitude>();
};

InstanceSlot& slot() {
    static auto* slot = new InstanceSlot;  // never destroyed: callers may log until exit
    return *slot;
}

}  // namespace

std::shared_ptr<Amplitude> Amplitude::instance() {
    MutexLock lock(slot().mutex);
    return slot().instance;
}

void Amplitude::setInstance(std::shared_ptr<Amplitude> instance) {
    MutexLock lock(slot().mutex);
    slot().instance = std::move(instance);
}

JSONLinesFile& Amplitude::log() {
    static auto* file = new JSONLinesFile("Library/Application Support/Amplitude/events.jsonl");
    return *file;
}

void Amplitude::initializeApiKey(const std::string& apiKey) {
    {
        MutexLock lock(mutex_);
        apiKey_ = apiKey;
    }
    record({{"type", "initialize"}});
}

void Amplitude::identify(const AMPIdentify& identify) {
    record({{"type", "identify"}, {"user_properties", identify.userPropertyOperations()}});
}

void Amplitude::logEvent(const std::string& eventType, const Value::Dictionary& eventProperties) {
    record({{"type", "event"}, {"event_type", eventType}, {"event_properties", eventProperties}});
}

bool Amplitude::record(Value::Dictionary call) {
    {
        MutexLock lock(mutex_);
        if (apiKey_.empty()) return false;
        call.emplace("api_key", apiKey_);
    }
    return log().append(call);
}

}  // namespace platform
