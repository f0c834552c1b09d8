#pragma once

namespace analytics {

class APMEvent;

// Where the engine hands every event it has taken in, on its worker queue and in the order logged.
class APMEventIntake {
public:
    virtual ~APMEventIntake() = default;
    virtual void takeEvent(APMEvent event) = 0;
};

}  // namespace analytics
