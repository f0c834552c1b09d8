#pragma once

#include <memory>
#include <utility>

#include "platform/foundation/ns_notification_center.h"

namespace quorvel::testing {

// An observer of the default notification centre for one case, removed when it goes out of scope however
// the case ends: no later post reaches what its block captured.
class ScopedObserver {
public:
    ScopedObserver(const platform::NSNotificationName& name, platform::NSNotificationCenter::Block block)
        : token_(platform::NSNotificationCenter::defaultCenter().addObserverForName(name, std::move(block))) {}
    ~ScopedObserver() { platform::NSNotificationCenter::defaultCenter().removeObserver(token_.get()); }
    ScopedObserver(const ScopedObserver&) = delete;
    ScopedObserver& operator=(const ScopedObserver&) = delete;

private:
    std::shared_ptr<platform::NSNotificationObserverToken> token_;
};

}  // namespace quorvel::testing
