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
// time; the goal grows by exactly the installation's new sessions, and falls only to a reset: at a
// launch exactly when a daily reset moment passed since the app last checked, otherwise at a tap (the
// person reset the counters, or answered the question the app asks on its return). A sync brings each
// installation every session of the other, once. A store put back from a copy loses only the sessions
// that had left it in neither the copy nor the shared folder.
class WalkLedger {
public:
    // What putting back a store did to the sessions this installation held.
    struct PutBack {
        std::size_t retaken = 0;  // missing from the copy, to be taken in again from the shared folder
        std::size_t unsent = 0;   // in neither: never left the store they were made in, gone with it
    };
    // Sessions a second installation made: they arrive through the shared folder, uncounted.
    void addForeign(const std::vector<StoredSession>& sessions);
    // What a second installation reported once it synced: it must hold every session this one had
    // before its last sync in front, once; what it made is then expected here.
    std::optional<LifeAnswer> takeSecond(const LifeReport& second);
    // After this installation synced: every session the second made has arrived, when it synced in front.
    std::optional<LifeAnswer> afterSync();
    // The store was put back from a copy holding `copied`, while the shared folder's change files held
    // `shared`: from the next launch on, every session in either must be held again.
    PutBack storePutBack(const std::set<std::string>& copied, const std::set<std::string>& shared);
    // The clock was set back: sessions after it may lie that much earlier than those before.
    void clockSetBack(double seconds) { setBack_ += seconds; }

    // `mayReset`: the step could have cleared the counters (a tap, or a launch on a new day).
    std::optional<LifeAnswer> take(const LifeReport& report, bool mayReset);
    // The first report of a new life: it also starts with the settings the last life left.
    std::optional<LifeAnswer> takeRelaunch(const LifeReport& report);

    std::size_t sessionCount() const { return known_.size(); }
    std::size_t foreignCount() const { return foreign_.size(); }

private:
    enum class GoalRule { grows, mayReset, mustReset };
    std::optional<LifeAnswer> takeSession(const StoredSession& session);
    std::optional<LifeAnswer> takeReport(const LifeReport& report, GoalRule rule);
    std::set<std::string> ownIdentifiers() const;

    std::map<std::string, StoredSession> known_;
    std::set<std::string> foreign_;
    std::set<std::int64_t> startedMinutes_;
    std::optional<std::int64_t> goal_;
    std::string settings_;
    double resetChecked_ = 0;
    bool inFront_ = true;
    // This installation's sessions the second should hold by its next sync, and those it will once
    // this installation has synced in front.
    std::set<std::string> published_;
    std::set<std::string> publishing_;
    double latestNow_ = 0;
    double setBack_ = 0;
};

}  // namespace quorvel::soak
