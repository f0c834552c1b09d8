#include "platform/bugsnag/bugsnag.h"

#include <atomic>

#include "platform/foundation/ns_bundle.h"

namespace platform {

JSONLinesFile& Bugsnag::log() {
    static auto* file = new JSONLinesFile("Library/Application Support/Bugsnag/sessions.jsonl");
    return *file;
}

bool Bugsnag::start() {
    static std::atomic<bool> started{false};
    if (started.exchange(true)) return true;
    const auto bundle = NSBundle::mainBundle();
    const auto& info = bundle->infoDictionary();
    const auto version = info.find("CFBundleShortVersionString");
    Value::Dictionary record{{"type", "start"}, {"bundle_identifier", bundle->bundleIdentifier()}};
    if (version != info.end()) record.emplace("app_version", version->second);
    return log().append(record);
}

}  // namespace platform
