#include "analytics/foundation/apm_scheduler.h"

#include <exception>
#include <typeinfo>

#include "analytics/monitor/apm_monitor.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_exception.h"
#include "platform/foundation/ns_thread.h"

namespace analytics {

namespace {

// Runs `block`; an escaped exception is logged with `code` and `message` and answers false. Exceptions
// that are not the platform's are logged too: letting them leave a worker thread would end the process.
bool runGuarded(const APMScheduler::Block& block, std::int64_t code, const std::string& message) {
    try {
        block();
        return true;
    } catch (const platform::NSException& exception) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::MonitoredError, code, message,
                                                   APMLogContext(exception));
    } catch (const std::exception& exception) {
        APMMonitor::sharedInstance()->logWithLevel(
            APMLogLevel::MonitoredError, code, message,
            APMLogContext(platform::NSException(typeid(exception).name(), exception.what())));
    } catch (...) {
        APMMonitor::sharedInstance()->logWithLevel(
            APMLogLevel::MonitoredError, code, message,
            APMLogContext(platform::NSException("unknown", "unknown exception")));
    }
    return false;
}

}  // namespace

APMScheduler::APMScheduler(const std::string& workerQueueLabel)
    : workerQueue_(platform::DispatchQueue::createSerial(workerQueueLabel)) {}

void APMScheduler::scheduleOnWorkerQueueBlockID(const std::string& blockID, Block block) {
    if (!block) {
        APMMonitor::sharedInstance()->logWithLevel(
            APMLogLevel::MonitoredError, 30005,
            "Nil block dispatched asynchronously on worker queue. Block ID=" + blockID + ".");
        return;
    }
    workerQueue_->async([blockID, block = std::move(block)] {
        runGuarded(block, 30000, "Exception on worker queue. Block ID=" + blockID + ". Exception");
    });
}

void APMScheduler::dispatchSyncOnWorkerQueueBlockID(const std::string& blockID, const Block& block) {
    if (!block) {
        APMMonitor::sharedInstance()->logWithLevel(
            APMLogLevel::MonitoredError, 30002,
            "Nil block dispatched synchronously on worker queue. Block ID=" + blockID + ".");
        return;
    }
    bool completed = false;
    workerQueue_->sync([&] {
        completed = runGuarded(
            block, 30003,
            "Exception on worker queue when processing sync block. Block ID=" + blockID + ". Exception");
    });
    if (!completed) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::MonitoredWarning, 30004,
                                                   "Synchronous task failed. Block ID=" + blockID);
    }
}

bool APMScheduler::checkOnBackgroundThreadWithMethodName(const std::string& methodName) {
    if (!platform::NSThread::isMainThread()) return true;
    const std::string name = methodName.empty() ? "<empty method name>" : methodName;
    APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::MonitoredError, 30001,
                                               "Method " + name + " should execute on background thread",
                                               APMLogContext(nullptr));
    return false;
}

}  // namespace analytics
