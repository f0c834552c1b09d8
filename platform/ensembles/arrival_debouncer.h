#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/dispatch/dispatch_source_timer.h"

namespace platform {

// Turns a burst of arrivals into one announcement. The first arrival of a burst calls `started`; once no
// arrival has come for the quiet period, `ended` is called, once. A steady stream is still announced
// after the longest wait from the burst's start, and the next arrival starts a new burst. Main thread
// only; time is the process clock's.
class ArrivalDebouncer : public std::enable_shared_from_this<ArrivalDebouncer> {
public:
    using Callback = std::function<void()>;

    static std::shared_ptr<ArrivalDebouncer> create(double quietSeconds, double longestSeconds,
                                                    Callback started, Callback ended);
    ~ArrivalDebouncer();

    void noteArrival();
    bool inBurst() const { return burstStart_.has_value(); }

private:
    ArrivalDebouncer(double quietSeconds, double longestSeconds, Callback started, Callback ended);
    void burstEnded();

    const double quiet_;
    const double longest_;
    const Callback started_;
    const Callback ended_;
    std::shared_ptr<DispatchSourceTimer> timer_;
    std::optional<double> burstStart_;
};

}  // namespace platform
