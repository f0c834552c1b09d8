#include "platform/dispatch/dispatch_queue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <future>
#include <thread>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_thread.h"
#include "platform/foundation/pending_work.h"

namespace platform {

namespace {

thread_local DispatchQueue* currentQueue = nullptr;

// Runs a block with `queue` as the current queue of this thread.
void runAs(DispatchQueue* queue, const DispatchQueue::Block& block) {
    DispatchQueue* outer = currentQueue;
    currentQueue = queue;
    block();
    currentQueue = outer;
}

class MainQueue final : public DispatchQueue {
public:
    MainQueue() : DispatchQueue("main-thread") {}

    void async(Block block) override {
        NSRunLoop::main().perform([this, block = std::move(block)] { runAs(this, block); });
    }

    void sync(const Block& block) override {
        if (NSThread::isMainThread()) {
            runAs(this, block);
            return;
        }
        std::promise<void> done;
        NSRunLoop::main().perform([&] {
            runAs(this, block);
            done.set_value();
        });
        done.get_future().wait();
    }
};

// A FIFO served by one or more worker threads. The threads own the state, so a queue that is
// released finishes the work already given to it.
class WorkerQueue final : public DispatchQueue {
public:
    WorkerQueue(const std::string& label, int threads)
        : DispatchQueue(label), serial_(threads == 1), state_(std::make_shared<State>()) {
        for (int i = 0; i < threads; ++i) {
            std::thread([state = state_, self = this, serial = serial_] { work(state, self, serial); }).detach();
        }
    }

    ~WorkerQueue() override {
        {
            MutexLock lock(state_->mutex);
            state_->closing = true;
        }
        state_->ready.notify_all();
    }

    void async(Block block) override {
        PendingWork::shared().begin();
        {
            MutexLock lock(state_->mutex);
            state_->blocks.push_back(std::move(block));
        }
        state_->ready.notify_one();
    }

    void sync(const Block& block) override {
        if (isCurrent()) {
            block();
            return;
        }
        // As on the platform, a serial queue with nothing queued or running runs the block on the
        // caller's thread, holding the queue meanwhile: no thread switch on the common path.
        if (serial_ && claimIdle()) {
            const ReleaseOnExit release{*state_};
            runAs(this, block);
            return;
        }
        std::promise<void> done;
        async([&] {
            block();
            done.set_value();
        });
        done.get_future().wait();
    }

private:
    struct State {
        Mutex mutex;
        std::condition_variable ready;
        std::deque<Block> blocks GUARDED_BY(mutex);
        bool closing GUARDED_BY(mutex) = false;
        // A block runs, on a worker or (serial queues only) on a thread calling sync.
        bool running GUARDED_BY(mutex) = false;
    };

    // Hands the serial queue back to its worker when a caller's block is done, even by an exception.
    // The worker is woken only when work waited meanwhile: an idle one would only go back to sleep.
    struct ReleaseOnExit {
        State& state;
        ~ReleaseOnExit() {
            bool waiting;
            {
                MutexLock lock(state.mutex);
                state.running = false;
                waiting = !state.blocks.empty() || state.closing;
            }
            if (waiting) state.ready.notify_all();
        }
    };

    bool claimIdle() {
        MutexLock lock(state_->mutex);
        if (state_->running || !state_->blocks.empty()) return false;
        state_->running = true;
        return true;
    }

    // `self` identifies the queue while it runs work; it is only compared, never used once closed.
    // Workers of a serial queue wait while a caller runs a block in its place.
    static void work(std::shared_ptr<State> state, DispatchQueue* self, bool serial) {
        MutexLock lock(state->mutex);
        for (;;) {
            while ((!state->closing && state->blocks.empty()) || (serial && state->running)) lock.wait(state->ready);
            if (state->blocks.empty()) return;
            Block block = std::move(state->blocks.front());
            state->blocks.pop_front();
            state->running = serial;
            lock.unlock();
            runAs(self, block);
            block = nullptr;  // release captures before the work counts as done
            lock.lock();
            state->running = false;
            lock.unlock();
            PendingWork::shared().end();
            lock.lock();
        }
    }

    const bool serial_;
    std::shared_ptr<State> state_;
};

}  // namespace

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
    static auto* queue = new std::shared_ptr<DispatchQueue>(std::make_shared<MainQueue>());
    return *queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global() {
    static auto* queue = new std::shared_ptr<DispatchQueue>(std::make_shared<WorkerQueue>(
        "global", static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 8u))));
    return *queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::createSerial(const std::string& label) {
    return std::make_shared<WorkerQueue>(label, 1);
}

DispatchQueue* DispatchQueue::current() {
    if (currentQueue) return currentQueue;
    return NSThread::isMainThread() ? main().get() : nullptr;
}

void DispatchQueue::asyncAfter(double seconds, Block block) {
    auto& clock = Clock::shared();
    clock.schedule(
        clock.now() + std::max(0.0, seconds),
        [queue = shared_from_this(), block = std::move(block)]() mutable { queue->async(std::move(block)); });
}

}  // namespace platform
