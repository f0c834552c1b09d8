#include "analytics/interface/dzr_app.h"

#include "analytics/interface/rov_eruzovaza.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/property_list.h"

namespace analytics {

namespace {

// Set once; read by every thread that logs.
struct DefaultApp {
    platform::Mutex mutex;
    std::shared_ptr<const DZRApp> app GUARDED_BY(mutex);
    // Held while the app is configured, so a second caller waits for the first to finish.
    platform::Mutex configuring ACQUIRED_BEFORE(mutex);
};

DefaultApp& defaultAppSlot() {
    static auto* slot = new DefaultApp;  // never destroyed: read until exit
    return *slot;
}

platform::Value::Dictionary serviceInfo() {
    const auto path = platform::NSBundle::mainBundle()->pathForResource(DZRApp::kServiceInfoName, "plist");
    if (!path) return {};
    const auto list = platform::PropertyList::readFile(*path);
    const platform::Value::Dictionary* dictionary = list ? list->dictionaryValue() : nullptr;
    return dictionary ? *dictionary : platform::Value::Dictionary{};
}

}  // namespace

DZRApp::DZRApp(platform::Value::Dictionary options) : options_(std::move(options)) {
    const auto appID = options_.find(kAppIDKey);
    if (appID != options_.end() && appID->second.stringValue()) appID_ = *appID->second.stringValue();
}

void DZRApp::configure() {
    auto& slot = defaultAppSlot();
    platform::MutexLock configuring(slot.configuring);
    if (defaultApp()) return;
    std::shared_ptr<const DZRApp> app(new DZRApp(serviceInfo()));
    {
        platform::MutexLock lock(slot.mutex);
        slot.app = app;
    }
    ROVEruzovaza::startWithConfiguration(app->appID(), app->options());
}

void DZRApp::resetDefaultForTesting() {
    auto& slot = defaultAppSlot();
    platform::MutexLock configuring(slot.configuring);
    platform::MutexLock lock(slot.mutex);
    slot.app = nullptr;
}

std::shared_ptr<const DZRApp> DZRApp::defaultApp() {
    platform::MutexLock lock(defaultAppSlot().mutex);
    return defaultAppSlot().app;
}

}  // namespace analytics
