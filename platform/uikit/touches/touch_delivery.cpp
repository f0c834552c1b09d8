#include "platform/uikit/touches/touch_delivery.h"

#include "platform/uikit/touches/gesture_arbiter.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

TouchDelivery& TouchDelivery::shared() {
    static auto* delivery = new TouchDelivery;
    return *delivery;
}

void TouchDelivery::deliver(const UIEvent& event) {
    Delivery now;
    for (const auto& touch : event.allTouches()) {
        const UITouchPhase phase = touch->phase();
        if (phase == UITouchPhase::stationary || !touch->view()) continue;
        Record& record = records_[touch.get()];
        record.touch = touch;
        record.event = event;
        record.seen = phase;
        if (record.taken) continue;
        if (phase == UITouchPhase::cancelled) {
            // Whatever waited is moot; the view hears of the cancel only if it heard of the touch.
            record.held.clear();
            if (record.began) now.emplace_back(touch, phase);
            record.over = true;
            continue;
        }
        // Moves waiting behind each other collapse into one; the touch has the latest location.
        if (!(phase == UITouchPhase::moved && !record.held.empty() && record.held.back() == phase)) {
            record.held.push_back(phase);
        }
        release(record, now);
    }
    send(now, &event);
    forgetFinished();
}

void TouchDelivery::cancel(const std::shared_ptr<UITouch>& touch) {
    // A touch may be taken before its view ever heard of it.
    Record& record = records_[touch.get()];
    record.touch = touch;
    if (record.taken) return;
    record.taken = true;
    record.held.clear();
    if (record.began && !record.over) {
        record.over = true;
        send({{touch, UITouchPhase::cancelled}}, record.event ? &*record.event : nullptr);
    }
}

void TouchDelivery::releaseHeld() {
    // Collected first: the views' answers may change what is held.
    std::vector<std::pair<Delivery, std::optional<UIEvent>>> late;
    for (auto& [key, record] : records_) {
        if (record.held.empty() || record.taken) continue;
        Delivery delivery;
        release(record, delivery);
        if (!delivery.empty()) late.emplace_back(std::move(delivery), record.event);
    }
    for (const auto& [delivery, event] : late) send(delivery, event ? &*event : nullptr);
    forgetFinished();
}

void TouchDelivery::release(Record& record, Delivery& out) {
    auto& arbiter = GestureArbiter::shared();
    while (!record.held.empty() && !arbiter.delaysForView(*record.touch, record.held.front())) {
        const UITouchPhase phase = record.held.front();
        record.held.erase(record.held.begin());
        if (phase == UITouchPhase::began) record.began = true;
        if (phase == UITouchPhase::ended) record.over = true;
        out.emplace_back(record.touch, phase);
    }
}

void TouchDelivery::send(const Delivery& delivery, const UIEvent* event) {
    for (UITouchPhase phase :
         {UITouchPhase::began, UITouchPhase::moved, UITouchPhase::ended, UITouchPhase::cancelled}) {
        // One call per view with all its touches of the phase, views in the order they came.
        std::vector<std::pair<std::shared_ptr<UIView>, UITouchSet>> groups;
        for (const auto& [touch, p] : delivery) {
            if (p != phase) continue;
            auto view = touch->view();
            if (!view) continue;
            auto group = std::ranges::find_if(groups, [&](const auto& g) { return g.first == view; });
            if (group == groups.end()) {
                groups.push_back({view, {touch}});
            } else {
                group->second.push_back(touch);
            }
        }
        for (const auto& [view, touches] : groups) {
            switch (phase) {
                case UITouchPhase::began:
                    view->touchesBegan(touches, event);
                    break;
                case UITouchPhase::moved:
                    view->touchesMoved(touches, event);
                    break;
                case UITouchPhase::ended:
                    view->touchesEnded(touches, event);
                    break;
                default:
                    view->touchesCancelled(touches, event);
                    break;
            }
        }
    }
}

void TouchDelivery::forgetFinished() {
    std::erase_if(records_, [](const auto& entry) {
        const Record& record = entry.second;
        const bool lifted = record.seen == UITouchPhase::ended || record.seen == UITouchPhase::cancelled;
        return lifted && record.held.empty();
    });
}

}  // namespace platform
