#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {
class DispatchQueue;
}

namespace analytics {

// The serial worker queue the measurement engine runs every operation on. Each block runs inside a guard:
// an exception that escapes it becomes a monitor message and the queue goes on with the next block.
class APMScheduler {
public:
    using Block = std::function<void()>;

    explicit APMScheduler(const std::string& workerQueueLabel);

    void scheduleOnWorkerQueueBlockID(const std::string& blockID, Block block);
    // Returns once the block has run. From the worker queue itself the block runs at once.
    void dispatchSyncOnWorkerQueueBlockID(const std::string& blockID, const Block& block);
    const std::shared_ptr<platform::DispatchQueue>& workerQueue() const { return workerQueue_; }

    // False, after logging, on the main thread; operations that belong on a worker thread call it on entry.
    static bool checkOnBackgroundThreadWithMethodName(const std::string& methodName);

private:
    std::shared_ptr<platform::DispatchQueue> workerQueue_;
};

}  // namespace analytics
