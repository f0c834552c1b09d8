#include "analytics/foundation/apmpb_flag_monitor.h"

#include <mutex>

#include "platform/foundation/console.h"

namespace {
std::mutex sinkMutex;
APMPBFlagMonitor::Sink currentSink;
}  // namespace

void APMPBFlagMonitor::setLogSink(Sink sink) {
    std::lock_guard lock(sinkMutex);
    currentSink = std::move(sink);
}

void APMPBFlagMonitor::logWithLevel(int level, int code, const std::string& message,
                                    const std::string& context) {
    Sink sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = currentSink;
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
