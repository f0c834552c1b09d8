#include "platform/promises/promise.h"

namespace platform {

std::shared_ptr<DispatchQueue> promisesDefaultQueue() {
    return DispatchQueue::main();
}

}  // namespace platform
