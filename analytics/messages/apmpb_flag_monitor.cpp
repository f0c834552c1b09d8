#include "analytics/messages/apmpb_flag_monitor.h"

#include "platform/foundation/console.h"
#include "platform/foundation/mutex.h"

namespace {

struct SinkSlot {
    platform::Mutex mutex;
    APMPBFlagMonitor::Sink sink GUARDED_BY(mutex);
};

SinkSlot& sinkSlot() {
    static auto* slot = new SinkSlot();  // never destroyed: flags are built on background queues until exit
    return *slot;
}

}  // namespace

void APMPBFlagMonitor::setLogSink(Sink sink) {
    auto& slot = sinkSlot();
    platform::MutexLock lock(slot.mutex);
    slot.sink = std::move(sink);
}

void APMPBFlagMonitor::logWithLevel(int level, int code, const std::string& message,
                                    const std::string& context) {
    Sink sink;
    {
        auto& slot = sinkSlot();
        platform::MutexLock lock(slot.mutex);
        sink = slot.sink;
    }
    if (sink) {
        sink(level, code, message, context);
        return;
    }
    std::string line = "Experiment flags (level " + std::to_string(level) + ", code " + std::to_string(code) +
                       "): " + message;
    if (!context.empty()) line += " (" + context + ")";
    platform::Console::print(line);
}
