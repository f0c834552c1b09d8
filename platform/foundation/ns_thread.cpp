#include "platform/foundation/ns_thread.h"

#include <thread>

namespace platform {

namespace {
// Static initialisation runs on the thread that starts the process.
const std::thread::id mainThreadId = std::this_thread::get_id();
}  // namespace

bool NSThread::isMainThread() {
    return std::this_thread::get_id() == mainThreadId;
}

}  // namespace platform
