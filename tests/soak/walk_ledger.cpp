#include "tests/soak/walk_ledger.h"

#include <algorithm>
#include <cstdio>

namespace quorvel::soak {

namespace {

std::string describe(const StoredSession& session) {
    char text[200];
    std::snprintf(text, sizeof text, "%s (%lld min, stamped %.1f)", session.identifier.c_str(),
                  static_cast<long long>(session.minutes), session.stamp);
    return text;
}

// Whole-minute lengths the engine can start a session with.
constexpr std::int64_t kLongestSession = 65;

}  // namespace

void WalkLedger::addForeign(const std::vector<StoredSession>& sessions) {
    for (const auto& session : sessions) foreign_.insert(session.identifier);
}

std::optional<LifeAnswer> WalkLedger::takeSession(const StoredSession& session) {
    if (const auto it = known_.find(session.identifier); it != known_.end()) {
        if (it->second == session) return std::nullopt;
        return LifeAnswer::failure("nothing-lost", "the stored session " + describe(it->second) +
                                                       " changed to " + describe(session));
    }
    if (session.minutes < 1 || session.minutes > kLongestSession) {
        return LifeAnswer::failure("sessions-sound",
                                   "a session is stored with a length no session has: " + describe(session));
    }
    if (!(session.stamp > 0) || session.stamp > latestNow_ + 1e-3) {
        return LifeAnswer::failure("sessions-sound",
                                   "a session is stored with a time in the future: " + describe(session));
    }
    if (!foreign_.contains(session.identifier)) {
        if (!startedMinutes_.contains(session.minutes)) {
            return LifeAnswer::failure(
                "sessions-sound",
                "a session is stored with a length no session started with: " + describe(session));
        }
        // One installation runs one session at a time: two that overlap are one counted twice.
        const double slack = 1 + setBack_;
        for (const auto& [identifier, other] : known_) {
            if (foreign_.contains(identifier)) continue;
            const double start = session.stamp - session.minutes * 60.0,
                         otherStart = other.stamp - other.minutes * 60.0;
            if (std::min(session.stamp, other.stamp) - std::max(start, otherStart) > slack) {
                return LifeAnswer::failure("counted-once", "the sessions " + describe(other) + " and " +
                                                               describe(session) + " overlap in time");
            }
        }
    }
    known_[session.identifier] = session;
    return std::nullopt;
}

std::optional<LifeAnswer> WalkLedger::takeRelaunch(const LifeReport& report) {
    if (!settings_.empty() && report.settings != settings_) {
        return LifeAnswer::failure("nothing-lost", "the settings were " + settings_ +
                                                       " when the app ended and " + report.settings +
                                                       " when it started again");
    }
    return take(report, true);
}

std::optional<LifeAnswer> WalkLedger::take(const LifeReport& report, bool mayReset) {
    latestNow_ = std::max(latestNow_, report.now);
    settings_ = report.settings;
    startedMinutes_.insert(report.startedMinutes.begin(), report.startedMinutes.end());

    std::vector<std::string> gone = report.gone;
    if (report.full) {
        std::set<std::string> listed;
        for (const auto& session : report.added) listed.insert(session.identifier);
        for (const auto& [identifier, session] : known_) {
            if (!listed.contains(identifier)) gone.push_back(identifier);
        }
    }
    if (!gone.empty()) {
        const auto it = known_.find(gone.front());
        return LifeAnswer::failure("nothing-lost",
                                   std::to_string(gone.size()) + " stored session(s) are gone, among them " +
                                       (it != known_.end() ? describe(it->second) : gone.front()));
    }

    std::int64_t own = 0;
    for (const auto& session : report.added) {
        const bool isNew = !known_.contains(session.identifier);
        if (auto problem = takeSession(session)) return problem;
        if (isNew && !foreign_.contains(session.identifier)) ++own;
    }

    const auto before = goal_;
    goal_ = report.goal;
    if (!before || report.goal == *before + own) return std::nullopt;
    if (mayReset && report.goal <= own) return std::nullopt;
    const std::string counts = "the goal went from " + std::to_string(*before) + " to " +
                               std::to_string(report.goal) + " while " + std::to_string(own) +
                               " focus session(s) were stored";
    return LifeAnswer::failure(report.goal > *before + own ? "counted-once" : "nothing-lost", counts);
}

}  // namespace quorvel::soak
