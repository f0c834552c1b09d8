#include "tests/soak/walk_ledger.h"

#include <algorithm>
#include <cstdio>

#include "tests/soak/daily_reset.h"

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

// How long before its first report a life looked whether the counters were due.
constexpr double kLaunchSeconds = 2;

}  // namespace

void WalkLedger::addForeign(const std::vector<StoredSession>& sessions) {
    for (const auto& session : sessions) foreign_.insert(session.identifier);
}

std::set<std::string> WalkLedger::ownIdentifiers() const {
    std::set<std::string> own;
    for (const auto& [identifier, session] : known_) {
        if (!foreign_.contains(identifier)) own.insert(identifier);
    }
    return own;
}

std::optional<LifeAnswer> WalkLedger::takeSecond(const LifeReport& second) {
    if (!second.twice.empty()) {
        return LifeAnswer::failure("counted-once", "the second installation holds the session " +
                                                       second.twice.front() + " more than once");
    }
    const std::set<std::string> held(second.held.begin(), second.held.end());
    for (const auto& identifier : published_) {
        if (!held.contains(identifier)) {
            return LifeAnswer::failure("synced", "the session " + describe(known_.at(identifier)) +
                                                     " synced before, and the second installation lacks it");
        }
    }
    addForeign(second.added);
    publishing_ = ownIdentifiers();
    return std::nullopt;
}

std::optional<LifeAnswer> WalkLedger::afterSync() {
    if (!inFront_) return std::nullopt;
    std::size_t missing = 0;
    std::string first;
    for (const auto& identifier : foreign_) {
        if (known_.contains(identifier)) continue;
        if (!missing++) first = identifier;
    }
    if (missing) {
        return LifeAnswer::failure("synced", std::to_string(missing) + " of the " +
                                                 std::to_string(foreign_.size()) +
                                                 " sessions the second installation made did not arrive, "
                                                 "among them " +
                                                 first);
    }
    published_ = publishing_;
    return std::nullopt;
}

WalkLedger::PutBack WalkLedger::storePutBack(const std::set<std::string>& copied,
                                             const std::set<std::string>& shared) {
    PutBack account;
    for (auto it = known_.begin(); it != known_.end();) {
        const auto& identifier = it->first;
        if (copied.contains(identifier)) {
            ++it;
            continue;
        }
        if (shared.contains(identifier)) {
            ++account.retaken;
            ++it;
            continue;
        }
        ++account.unsent;
        foreign_.erase(identifier);
        published_.erase(identifier);
        publishing_.erase(identifier);
        it = known_.erase(it);
    }
    return account;
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
    for (const auto& [identifier, other] : known_) {
        if (other.stamp == session.stamp && other.minutes == session.minutes) {
            return LifeAnswer::failure("counted-once", "the session " + describe(other) +
                                                           " is stored again as " + describe(session));
        }
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
    // At a launch the app resets the counters, unasked, exactly when a reset moment passed since it
    // last checked.
    const auto hour = DailyReset::hourOf(report.settings);
    const auto due = hour && resetChecked_ > 0
                         ? DailyReset::due(*hour, resetChecked_, report.now, kLaunchSeconds)
                         : DailyReset::Due::no;
    return takeReport(report, due == DailyReset::Due::yes     ? GoalRule::mustReset
                              : due == DailyReset::Due::maybe ? GoalRule::mayReset
                                                              : GoalRule::grows);
}

std::optional<LifeAnswer> WalkLedger::take(const LifeReport& report, bool mayReset) {
    return takeReport(report, mayReset ? GoalRule::mayReset : GoalRule::grows);
}

std::optional<LifeAnswer> WalkLedger::takeReport(const LifeReport& report, GoalRule rule) {
    latestNow_ = std::max(latestNow_, report.now);
    settings_ = report.settings;
    resetChecked_ = report.resetChecked;
    inFront_ = report.inFront;
    startedMinutes_.insert(report.startedMinutes.begin(), report.startedMinutes.end());
    if (!report.twice.empty()) {
        return LifeAnswer::failure("counted-once",
                                   "the store holds the session " + report.twice.front() + " more than once");
    }

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
    if (!before) return std::nullopt;
    const std::string counts = "the goal went from " + std::to_string(*before) + " to " +
                               std::to_string(report.goal) + " while " + std::to_string(own) +
                               " focus session(s) were stored";
    if (rule == GoalRule::mustReset) {
        if (report.goal == own) return std::nullopt;
        return LifeAnswer::failure("daily-reset", counts + ", at a launch after the day's reset moment");
    }
    if (report.goal == *before + own) return std::nullopt;
    if (rule == GoalRule::mayReset && report.goal <= own) return std::nullopt;
    if (report.goal < *before + own && report.goal <= own)
        return LifeAnswer::failure("daily-reset", counts + ", with no reset due and none asked for");
    return LifeAnswer::failure(report.goal > *before + own ? "counted-once" : "nothing-lost", counts);
}

}  // namespace quorvel::soak
