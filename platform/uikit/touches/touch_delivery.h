#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/uikit/touches/ui_event.h"

namespace platform {

// Hands touches to the views they landed on, after their recognisers had them (see GestureArbiter).
// A phase that a deciding recogniser delays waits, in order, until no recogniser delays it; a touch a
// recogniser took is cancelled in its view (if the view saw it begin) and its view hears no more of it.
// Main thread only.
class TouchDelivery {
public:
    static TouchDelivery& shared();

    void deliver(const UIEvent& event);
    void cancel(const std::shared_ptr<UITouch>& touch);
    // Hands on what recognisers no longer delay.
    void releaseHeld();

private:
    struct Record {
        std::shared_ptr<UITouch> touch;
        std::vector<UITouchPhase> held;
        std::optional<UIEvent> event;             // the latest, for phases handed on late
        UITouchPhase seen = UITouchPhase::began;  // the phase of the latest event
        bool began = false;                       // the view saw the touch begin
        bool taken = false;                       // a recogniser took it
        bool over = false;                        // the view heard its end
    };
    using Delivery = std::vector<std::pair<std::shared_ptr<UITouch>, UITouchPhase>>;

    // Moves the phases no recogniser delays any more from the record into `out`.
    static void release(Record& record, Delivery& out);
    static void send(const Delivery& delivery, const UIEvent* event);
    void forgetFinished();

    std::map<const UITouch*, Record> records_;
};

}  // namespace platform
