#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/soak/life_report.h"

namespace quorvel::soak {

// The walk's own account of the sessions, kept across the app's lives: every session the store ever
// held, the lengths sessions started with, the goal last seen and the latest moment the clock reached.
// Each report must agree with it: no stored session vanishes or changes; each new one has a length a
// session started with and a time not in the future; one installation's sessions never overlap in
// time; and the goal grows by exactly the installation's new sessions, falling only to a reset.
class WalkLedger {
public:
    // Sessions a second installation made: they arrive through the shared folder, uncounted.
    void addForeign(const std::vector<StoredSession>& sessions);
    // The clock was set back: sessions after it may lie that much earlier than those before.
    void clockSetBack(double seconds) { setBack_ += seconds; }

    // `mayReset`: the step could have cleared the counters (a tap, or a launch on a new day).
    std::optional<LifeAnswer> take(const LifeReport& report, bool mayReset);
    // The first report of a new life: it also starts with the settings the last life left.
    std::optional<LifeAnswer> takeRelaunch(const LifeReport& report);

    std::size_t sessionCount() const { return known_.size(); }
    std::size_t foreignCount() const { return foreign_.size(); }

private:
    std::optional<LifeAnswer> takeSession(const StoredSession& session);

    std::map<std::string, StoredSession> known_;
    std::set<std::string> foreign_;
    std::set<std::int64_t> startedMinutes_;
    std::optional<std::int64_t> goal_;
    std::string settings_;
    double latestNow_ = 0;
    double setBack_ = 0;
};

}  // namespace quorvel::soak
