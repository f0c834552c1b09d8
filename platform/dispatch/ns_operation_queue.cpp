#include "platform/dispatch/ns_operation_queue.h"

#include "platform/dispatch/dispatch_queue.h"

namespace platform {

NSOperationQueue::NSOperationQueue(std::string name)
    : name_(std::move(name)), underlyingQueue_(DispatchQueue::createSerial(name_)) {}

void NSOperationQueue::setUnderlyingQueue(std::shared_ptr<DispatchQueue> queue) {
    MutexLock lock(mutex_);
    underlyingQueue_ = std::move(queue);
}

bool NSOperationQueue::isSuspended() const {
    MutexLock lock(mutex_);
    return suspended_;
}

void NSOperationQueue::setSuspended(bool suspended) {
    MutexLock lock(mutex_);
    suspended_ = suspended;
    if (suspended) return;
    // Handed on under the lock, so an operation added meanwhile cannot overtake the waiting ones.
    for (Block& block : waiting_) underlyingQueue_->async(std::move(block));
    waiting_.clear();
}

void NSOperationQueue::addOperationWithBlock(Block block) {
    MutexLock lock(mutex_);
    if (suspended_) {
        waiting_.push_back(std::move(block));
    } else {
        underlyingQueue_->async(std::move(block));
    }
}

}  // namespace platform
