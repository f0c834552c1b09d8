#include "shell/frame_loop.h"

#include <algorithm>
#include <cmath>

#include "platform/coredata/launch_gate.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/quartzcore/ca_animation_scheduler.h"

namespace quorvel::shell {

namespace {

// A far timer is waited for in steps, so a change of the wall clock on the way is noticed.
constexpr int kLongestWaitMilliseconds = 60 * 60 * 1000;

}  // namespace

FrameLoop::FrameLoop(Client& client) : client_(client), wakeEvent_(SDL_RegisterEvents(1)) {
    platform::NSRunLoop::main().setWakeUpHandler([this] {
        // On the loop's own thread the loop is busy, not waiting, and sees the work before it waits.
        if (std::this_thread::get_id() != loopThread_) wakeFromAnotherThread();
    });
}

FrameLoop::~FrameLoop() {
    {
        std::lock_guard lock(wakeMutex_);
        waking_ = false;
    }
    platform::NSRunLoop::main().setWakeUpHandler({});
}

void FrameLoop::wakeFromAnotherThread() {
    if (wakeEvent_ == Uint32(-1) || wakePending_.exchange(true)) return;
    std::lock_guard lock(wakeMutex_);
    if (!waking_) return;
    SDL_Event event{};
    event.type = wakeEvent_;
    // A full event queue wakes the loop anyway; the next wake-up must not think one is on its way.
    if (SDL_PushEvent(&event) <= 0) wakePending_ = false;
}

void FrameLoop::run() {
    auto& runLoop = platform::NSRunLoop::main();
    while (!stopped_) {
        if (runLoop.runPending()) needsFrame_ = true;
        if (stopped_) break;
        const bool wantsFrame =
            client_.isShowing() && (needsFrame_ || !platform::CAAnimationScheduler::shared().isIdle());
        if (wantsFrame && SteadyClock::now() >= nextFrame_) {
            needsFrame_ = false;
            nextFrame_ = SteadyClock::now() + kFrameInterval;
            client_.drawFrame();
            continue;  // drawing took time: see what fell due meanwhile before sleeping
        }
        // The launch is over when the loop first waits: after the first frame, or at once when the
        // window does not show.
        if (!launchOver_) {
            launchOver_ = true;
            platform::LaunchGate::open();
        }
        if (!wantsFrame && !runLoop.hasRunnableBlocks()) client_.settled();
        SDL_Event event;
        const int wait = waitMilliseconds(wantsFrame);
        if (wait < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, wait)) {
            dispatch(event);
            while (!stopped_ && SDL_PollEvent(&event)) dispatch(event);
        }
    }
}

int FrameLoop::waitMilliseconds(bool wantsFrame) const {
    auto& runLoop = platform::NSRunLoop::main();
    if (runLoop.hasRunnableBlocks()) return 0;
    double seconds = -1;
    if (const auto next = runLoop.nextTimerDate()) {
        seconds = std::max(0.0, *next - platform::Clock::shared().now());
    }
    if (wantsFrame) {
        const double untilFrame =
            std::max(0.0, std::chrono::duration<double>(nextFrame_ - SteadyClock::now()).count());
        seconds = seconds < 0 ? untilFrame : std::min(seconds, untilFrame);
    }
    if (seconds < 0) return -1;
    // Rounded up: waking a little early would only find nothing due and wait again.
    return static_cast<int>(std::min<double>(std::ceil(seconds * 1000), kLongestWaitMilliseconds));
}

void FrameLoop::dispatch(const SDL_Event& event) {
    if (event.type == wakeEvent_) {
        wakePending_ = false;
        return;
    }
    if (client_.handleEvent(event)) needsFrame_ = true;
}

}  // namespace quorvel::shell
