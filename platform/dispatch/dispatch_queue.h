#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

// A queue of work items. The main queue runs them in order on the main run loop; a serial queue on
// a thread of its own, in order; the global queue on a small pool of threads. Delayed work goes
// through the process clock, so virtual time drives it in tests.
class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
public:
    using Block = std::function<void()>;

    static std::shared_ptr<DispatchQueue> main();
    static std::shared_ptr<DispatchQueue> global();
    static std::shared_ptr<DispatchQueue> createSerial(const std::string& label);
    // The queue whose work is running on this thread (the main queue on the main thread), or null.
    static DispatchQueue* current();

    virtual ~DispatchQueue() = default;

    const std::string& label() const { return label_; }
    bool isCurrent() const { return current() == this; }

    virtual void async(Block block) = 0;
    // Runs the block and waits for it. Called from the queue's own thread it runs the block at once
    // (where the platform would deadlock).
    virtual void sync(const Block& block) = 0;
    // Queues the block once `seconds` have passed on the process clock.
    void asyncAfter(double seconds, Block block);

protected:
    explicit DispatchQueue(std::string label) : label_(std::move(label)) {}

private:
    std::string label_;
};

// Runs `block` exactly once for a given flag, however many threads call it.
using DispatchOnceFlag = std::once_flag;
template <typename Block>
void dispatchOnce(DispatchOnceFlag& flag, Block&& block) {
    std::call_once(flag, std::forward<Block>(block));
}

}  // namespace platform
