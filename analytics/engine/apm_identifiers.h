#pragma once

#include <memory>
#include <string>

#include "platform/foundation/mutex.h"

namespace analytics {

// The identifiers the library was started with; the origin says who started it ("fa" for the
// configuration framework).
class APMIdentifiers {
public:
    static std::shared_ptr<APMIdentifiers> sharedInstance();

    std::string origin() const EXCLUDES(mutex_);
    void setOrigin(std::string origin) EXCLUDES(mutex_);

private:
    mutable platform::Mutex mutex_;
    std::string origin_ GUARDED_BY(mutex_);
};

}  // namespace analytics
