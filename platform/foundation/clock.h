#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/foundation/mutex.h"

namespace platform {

// The one source of time. Every date, timer, delayed block and animation reads it, so tests can
// swap in a VirtualClock and run hours of app time in milliseconds.
class Clock {
public:
    using Callback = std::function<void()>;
    using Token = std::uint64_t;

    virtual ~Clock() = default;

    // Seconds since 2001-01-01 00:00:00 UTC.
    virtual double now() const = 0;

    // Runs `callback` once `now()` has reached `deadline`: on the clock's own timer thread for the
    // system clock, inside advance() for the virtual clock. Callbacks due at the same time run in the
    // order they were scheduled. The callback should only hand work on (enqueue, wake a thread).
    virtual Token schedule(double deadline, Callback callback) = 0;
    virtual void cancel(Token token) = 0;
    virtual void cancelAll() = 0;

    virtual bool isVirtual() const { return false; }

    static Clock& shared();
    // Replaces the process clock. The previous one stays alive (it may still be read by a thread
    // that has not noticed), but its scheduled callbacks are dropped.
    static void install(std::shared_ptr<Clock> clock);

protected:
    // Tokens are unique across every clock of the process, so cancelling a token that belonged to a
    // replaced clock never cancels another callback.
    static Token newToken();
};

// Wall-clock time with a background thread that runs scheduled callbacks when they fall due.
class SystemClock final : public Clock {
public:
    SystemClock();
    ~SystemClock() override;

    double now() const override;
    Token schedule(double deadline, Callback callback) override;
    void cancel(Token token) override;
    void cancelAll() override;

private:
    struct State;
    std::shared_ptr<State> state_;
};

// Time that moves only when a test says so. advance() runs everything that falls due on the way, in
// time order, and lets the app's queues settle after each step, so a run is deterministic.
class VirtualClock final : public Clock {
public:
    // A fixed, ordinary starting date: 2026-03-02 09:00:00 UTC.
    static constexpr double kDefaultStart = 794134800.0;

    explicit VirtualClock(double start = kDefaultStart);

    // Makes a new virtual clock the process clock and starts the main run loop afresh.
    static std::shared_ptr<VirtualClock> install(double start = kDefaultStart);

    double now() const override;
    Token schedule(double deadline, Callback callback) override;
    void cancel(Token token) override;
    void cancelAll() override;
    bool isVirtual() const override { return true; }

    // Moves time forward, firing due timers and scheduled callbacks in order, settling between them.
    void advance(double seconds);
    // Runs queued main-thread work and waits for background queues until nothing is left to do
    // at the current time. Call it on the main thread.
    void runUntilIdle();

private:
    bool fireNextDueBy(double limit);

    mutable Mutex mutex_;
    double now_ GUARDED_BY(mutex_);
    // Ordered by (deadline, token): equal deadlines run in the order they were scheduled.
    std::map<std::pair<double, Token>, Callback> scheduled_ GUARDED_BY(mutex_);
};

}  // namespace platform
