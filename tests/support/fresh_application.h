#pragma once

#include "platform/uikit/application/ui_application.h"

namespace quorvel::testing {

// The shared application as a process finds it before its launch, for one case, and put back so when
// the case ends: the next case can launch it again.
class FreshApplication {
public:
    FreshApplication() { platform::UIApplication::resetSharedForTesting(); }
    ~FreshApplication() { platform::UIApplication::resetSharedForTesting(); }
    FreshApplication(const FreshApplication&) = delete;
    FreshApplication& operator=(const FreshApplication&) = delete;
};

}  // namespace quorvel::testing
