#include "platform/foundation/clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>
#include <vector>

#include "platform/foundation/bounded_wait.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_thread.h"
#include "platform/foundation/pending_work.h"

namespace platform {

namespace {

struct ClockSlot {
    Mutex mutex;
    std::shared_ptr<Clock> current GUARDED_BY(mutex);
    std::vector<std::shared_ptr<Clock>> retired GUARDED_BY(mutex);
};

ClockSlot& slot() {
    static ClockSlot* s = new ClockSlot();  // never destroyed: threads may read the clock at exit
    return *s;
}

}  // namespace

Clock& Clock::shared() {
    auto& s = slot();
    MutexLock lock(s.mutex);
    if (!s.current) s.current = std::make_shared<SystemClock>();
    return *s.current;
}

Clock::Token Clock::newToken() {
    static std::atomic<Token> next{1};
    return next++;
}

void Clock::install(std::shared_ptr<Clock> clock) {
    auto& s = slot();
    std::shared_ptr<Clock> previous;
    {
        MutexLock lock(s.mutex);
        previous = s.current;
        if (previous) s.retired.push_back(previous);
        s.current = std::move(clock);
    }
    // Dropped outside the lock: what a callback holds may, as it ends, read the clock.
    if (previous) previous->cancelAll();
}

// --- SystemClock -------------------------------------------------------------------------------

namespace {
double wallNow() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count() - 978307200.0;
}
}  // namespace

struct SystemClock::State {
    Mutex mutex;
    std::condition_variable changed;
    bool stopping GUARDED_BY(mutex) = false;
    std::map<std::pair<double, Token>, Callback> scheduled GUARDED_BY(mutex);
};

SystemClock::SystemClock() : state_(std::make_shared<State>()) {
    std::thread([state = state_] {
        MutexLock lock(state->mutex);
        while (!state->stopping) {
            if (state->scheduled.empty()) {
                lock.wait(state->changed);
                continue;
            }
            auto first = state->scheduled.begin();
            const double wait = first->first.first - wallNow();
            if (wait > 0) {
                lock.waitFor(state->changed, boundedWait(wait));
                continue;
            }
            Callback callback = std::move(first->second);
            state->scheduled.erase(first);
            lock.unlock();
            callback();
            lock.lock();
        }
    }).detach();
}

SystemClock::~SystemClock() {
    {
        MutexLock lock(state_->mutex);
        state_->stopping = true;
        state_->scheduled.clear();
    }
    state_->changed.notify_all();
}

double SystemClock::now() const {
    return wallNow();
}

void SystemClock::cancelAll() {
    std::map<std::pair<double, Token>, Callback> dropped;
    MutexLock lock(state_->mutex);
    dropped.swap(state_->scheduled);
    lock.unlock();  // what the callbacks hold may, as it ends, schedule or cancel
}

Clock::Token SystemClock::schedule(double deadline, Callback callback) {
    Token token;
    {
        MutexLock lock(state_->mutex);
        token = newToken();
        state_->scheduled.emplace(std::make_pair(deadline, token), std::move(callback));
    }
    state_->changed.notify_all();
    return token;
}

void SystemClock::cancel(Token token) {
    MutexLock lock(state_->mutex);
    std::erase_if(state_->scheduled, [token](const auto& entry) { return entry.first.second == token; });
}

// --- VirtualClock ------------------------------------------------------------------------------

VirtualClock::VirtualClock(double start) : now_(start) {}

std::shared_ptr<VirtualClock> VirtualClock::install(double start) {
    auto clock = std::make_shared<VirtualClock>(start);
    Clock::install(clock);
    NSRunLoop::main().reset();
    return clock;
}

double VirtualClock::now() const {
    MutexLock lock(mutex_);
    return now_;
}

Clock::Token VirtualClock::schedule(double deadline, Callback callback) {
    MutexLock lock(mutex_);
    const Token token = newToken();
    scheduled_.emplace(std::make_pair(deadline, token), std::move(callback));
    return token;
}

void VirtualClock::cancel(Token token) {
    Callback dropped;
    MutexLock lock(mutex_);
    for (auto entry = scheduled_.begin(); entry != scheduled_.end(); ++entry) {
        if (entry->first.second != token) continue;
        dropped = std::move(entry->second);
        scheduled_.erase(entry);
        break;
    }
    lock.unlock();  // what the callback holds may, as it ends, schedule or cancel
}

void VirtualClock::cancelAll() {
    std::map<std::pair<double, Token>, Callback> dropped;
    MutexLock lock(mutex_);
    dropped.swap(scheduled_);
    lock.unlock();  // what the callbacks hold may, as it ends, schedule or cancel
}

bool VirtualClock::fireNextDueBy(double limit) {
    auto& loop = NSRunLoop::main();
    const auto timerDate = loop.nextTimerDate();
    Callback callback;
    {
        MutexLock lock(mutex_);
        auto first = scheduled_.begin();
        const bool haveCallback = first != scheduled_.end() && first->first.first <= limit;
        const bool timerFirst =
            timerDate && *timerDate <= limit && (!haveCallback || *timerDate < first->first.first);
        if (timerFirst) {
            now_ = std::max(now_, *timerDate);
        } else if (haveCallback) {
            now_ = std::max(now_, first->first.first);
            callback = std::move(first->second);
            scheduled_.erase(first);
        } else {
            return false;
        }
    }
    if (callback) callback();
    // Due timers (and anything the callback queued) run here.
    runUntilIdle();
    return true;
}

void VirtualClock::advance(double seconds) {
    double target;
    {
        MutexLock lock(mutex_);
        target = now_ + std::max(0.0, seconds);
    }
    runUntilIdle();
    while (fireNextDueBy(target)) {
    }
    {
        MutexLock lock(mutex_);
        now_ = std::max(now_, target);
    }
    runUntilIdle();
}

void VirtualClock::runUntilIdle() {
    auto& loop = NSRunLoop::main();
    auto& pending = PendingWork::shared();
    for (;;) {
        if (loop.runPending()) continue;
        if (pending.idle()) {
            if (loop.hasRunnableBlocks()) continue;
            return;
        }
        pending.waitForChange(std::chrono::milliseconds(5));
    }
}

}  // namespace platform
