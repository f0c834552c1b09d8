#pragma once

#include <string>

namespace quorvel {

// A view that shows the round and goal counts; the timer screen tells each one on every display update.
class SessionMonitorable {
public:
    virtual ~SessionMonitorable() = default;

    virtual void updateSessionCounts(const std::string& round, const std::string& roundLimit,
                                     const std::string& goal, const std::string& goalLimit) = 0;
};

}  // namespace quorvel
