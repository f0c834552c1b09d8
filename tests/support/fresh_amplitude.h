#pragma once

#include <memory>

#include "platform/amplitude/amplitude.h"

namespace quorvel::testing {

// The second analytics service's shared instance as a process starts with it (there, without a key),
// for one case, and so again when the case ends, whether the case took it away or gave it a key.
class FreshAmplitude {
public:
    FreshAmplitude() { platform::Amplitude::setInstance(std::make_shared<platform::Amplitude>()); }
    ~FreshAmplitude() { platform::Amplitude::setInstance(std::make_shared<platform::Amplitude>()); }
    FreshAmplitude(const FreshAmplitude&) = delete;
    FreshAmplitude& operator=(const FreshAmplitude&) = delete;
};

}  // namespace quorvel::testing
