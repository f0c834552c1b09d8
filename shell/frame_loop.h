#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace quorvel::shell {

// The program's main loop. It runs the app's main run loop (its timers and main-queue work, on the
// process clock) and the desktop's events on one thread, and draws a frame only when something may
// have changed: input or a window change, work the run loop did, or a layer animation that is
// running (then at most 60 frames a second), and only while the window shows. In between it sleeps in the
// desktop's event wait until the next timer is due, an event comes, or another thread hands the run loop
// work, so an idle window costs no frames and no processor time.
class FrameLoop {
public:
    class Client {
    public:
        virtual ~Client() = default;
        // True when the event may have changed what the screen shows.
        virtual bool handleEvent(const SDL_Event& event) = 0;
        virtual void drawFrame() = 0;
        // False while nothing of the window shows (minimised): frames wait until it shows again.
        virtual bool isShowing() const = 0;
        // The loop is about to wait with nothing to draw or run: every animation has ended and the
        // screen shows what the app holds now, until the next timer or event.
        virtual void settled() {}
    };

    // SDL's events must be initialised.
    explicit FrameLoop(Client& client);
    ~FrameLoop();
    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;

    // Until stop(); the first frame is drawn at once.
    void run();
    void stop() { stopped_ = true; }
    void setNeedsFrame() { needsFrame_ = true; }

private:
    using SteadyClock = std::chrono::steady_clock;
    static constexpr auto kFrameInterval = std::chrono::microseconds(16667);

    // How long the event wait may sleep, in milliseconds; -1: until an event comes.
    int waitMilliseconds(bool wantsFrame) const;
    void dispatch(const SDL_Event& event);

    // Another thread handed the run loop work: an event ends the loop's wait.
    void wakeFromAnotherThread();

    Client& client_;
    const std::thread::id loopThread_ = std::this_thread::get_id();
    Uint32 wakeEvent_;
    // Set while a wake-up event is on its way, so a burst of work posts only one.
    std::atomic<bool> wakePending_{false};
    // Held while a wake-up is posted; the loop's end waits for it, so none reaches a window being
    // destroyed.
    std::mutex wakeMutex_;
    bool waking_ = true;
    bool stopped_ = false;
    bool needsFrame_ = true;
    // Whether the loop has waited once: the launch is over then.
    bool launchOver_ = false;
    SteadyClock::time_point nextFrame_{};
};

}  // namespace quorvel::shell
