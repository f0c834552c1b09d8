#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "analytics/engine/apm_event_intake.h"
#include "analytics/engine/apm_measurement.h"
#include "analytics/records/apm_event.h"
#include "platform/foundation/mutex.h"

namespace engine_test {

// The end of the engine's road in a test: keeps every event it is handed, in order.
class EventsTakenIn final : public analytics::APMEventIntake {
public:
    // Makes the engine (unless the library made it already) and takes its events from now on.
    static std::shared_ptr<EventsTakenIn> installOnEngine() {
        auto events = std::make_shared<EventsTakenIn>();
        analytics::APMMeasurement::sharedInstanceWithAppID("1:test:ios")->setEventIntake(events);
        return events;
    }

    void takeEvent(analytics::APMEvent event) override {
        platform::MutexLock lock(mutex_);
        events_.push_back(std::move(event));
    }

    std::vector<analytics::APMEvent> events() const {
        platform::MutexLock lock(mutex_);
        return events_;
    }

    // The events from the `first` on, each as "Name key=value …" (values as text), without the origin.
    std::vector<std::string> texts(std::size_t first = 0) const {
        std::vector<std::string> texts;
        const auto all = events();
        for (std::size_t i = first; i < all.size(); ++i) {
            std::string text = all[i].name();
            for (const auto& [key, value] : all[i].parameters()) {
                if (key != "_o") text += " " + key + "=" + (value.stringValue() ? *value.stringValue() : value.description());
            }
            texts.push_back(std::move(text));
        }
        return texts;
    }

private:
    mutable platform::Mutex mutex_;
    std::vector<analytics::APMEvent> events_ GUARDED_BY(mutex_);
};

}  // namespace engine_test
