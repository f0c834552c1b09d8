#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/mutex.h"

namespace platform {

class DispatchQueue;

// A serial queue of operations that can be held back: while suspended, added operations wait in order;
// once released they run, in that order and one at a time, on the underlying dispatch queue (a serial
// queue of the operation queue's own unless one is given).
class NSOperationQueue {
public:
    using Block = std::function<void()>;

    explicit NSOperationQueue(std::string name);

    const std::string& name() const { return name_; }
    // Set it before adding operations; a serial queue keeps them one at a time.
    void setUnderlyingQueue(std::shared_ptr<DispatchQueue> queue) EXCLUDES(mutex_);

    bool isSuspended() const EXCLUDES(mutex_);
    // Releasing hands the waiting operations on before any added later.
    void setSuspended(bool suspended) EXCLUDES(mutex_);

    void addOperationWithBlock(Block block) EXCLUDES(mutex_);

private:
    const std::string name_;
    mutable Mutex mutex_;
    std::shared_ptr<DispatchQueue> underlyingQueue_ GUARDED_BY(mutex_);
    bool suspended_ GUARDED_BY(mutex_) = false;
    std::deque<Block> waiting_ GUARDED_BY(mutex_);
};

}  // namespace platform
