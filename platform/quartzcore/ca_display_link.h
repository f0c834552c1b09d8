#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/ns_run_loop.h"

namespace platform {

class NSTimer;

// Calls back once per frame of the display, 60 times a second, on the main run loop in the modes it was
// added for. Frames are read from the process clock, so a virtual clock moves them in fixed steps and a
// motion driven by them is the same on every run. Main thread.
class CADisplayLink : public std::enable_shared_from_this<CADisplayLink> {
public:
    using Callback = std::function<void(CADisplayLink&)>;

    static constexpr double kFrameDuration = 1.0 / 60;

    // A link not yet on a run loop; the callback takes the place of the platform's target and selector.
    static std::shared_ptr<CADisplayLink> displayLinkWithTarget(Callback callback);
    ~CADisplayLink();

    // Unlike the platform's, the run loop does not hold the link: its owner does, and dropping it ends
    // the callbacks, so a forgotten link cannot keep its owner alive.
    void addToRunLoop(NSRunLoop& runLoop, const NSRunLoopMode& mode);
    void invalidate();
    bool isValid() const { return valid_; }

    // A paused link skips frames but stays on its run loop.
    void setPaused(bool paused) { paused_ = paused; }

    // The media time of the frame being delivered.
    double timestamp() const { return timestamp_; }
    double duration() const { return kFrameDuration; }

private:
    explicit CADisplayLink(Callback callback) : callback_(std::move(callback)) {}
    void frame();

    Callback callback_;
    std::shared_ptr<NSTimer> timer_;
    bool valid_ = true;
    bool paused_ = false;
    double timestamp_ = 0;
};

}  // namespace platform
