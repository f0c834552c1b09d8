#include "tests/soak/soak_walk.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "app/core/cloud_sync_manager.h"
#include "platform/foundation/ns_bundle.h"
#include "tests/soak/data_copy.h"
#include "tests/soak/life_process.h"
#include "tests/soak/life_report.h"
#include "tests/soak/music_folder.h"
#include "tests/soak/shared_folder_litter.h"
#include "tests/soak/shared_folder_sessions.h"
#include "tests/soak/walk_ledger.h"

namespace quorvel::soak {

namespace fs = std::filesystem;
using Kind = WalkStep::Kind;

namespace {

// How long a life may take to end after a quit, and a check of the files.
constexpr double kEndSeconds = 60;

std::string tailOf(const fs::path& log, std::size_t lines) {
    std::ifstream in(log);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) all.push_back(line);
    std::string out;
    for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i)
        out += all[i] + "\n";
    return out;
}

// The first line a sanitizer wrote, if any.
std::optional<std::string> sanitizerReport(const fs::path& log) {
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        for (const char* mark : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                                 "WARNING: ThreadSanitizer", "ERROR: UndefinedBehaviorSanitizer"}) {
            if (line.find(mark) != std::string::npos) return line;
        }
    }
    return std::nullopt;
}

class WalkRun {
public:
    WalkRun(const WalkSetup& setup, const fs::path& folder, double stepSeconds)
        : setup_(setup),
          folder_(folder),
          stepSeconds_(stepSeconds),
          music_(folder / "music"),
          copy_(folder / "home" / "Library" / "Application Support" /
                    platform::NSBundle::mainBundle()->bundleIdentifier(),
                folder / "copy") {}

    bool prepare() {
        std::error_code error;
        fs::create_directories(folder_ / "home", error);
        fs::create_directories(folder_ / "cloud", error);
        fs::create_directories(folder_ / "second", error);
        if (error) return fail(0, "walks", "cannot make the walk's folder " + folder_.string());
        SharedFolderLitter::leaveIn(container());
        music_.fill();
        ::setenv("QUORVEL_HOME", (folder_ / "home").c_str(), 1);
        ::setenv("QUORVEL_CLOUD", (folder_ / "cloud").c_str(), 1);
        ::setenv("XDG_MUSIC_DIR", music_.path().c_str(), 1);
        ::setenv("TZ", "Europe/Berlin", 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        ::setenv("SDL_VIDEODRIVER", "dummy", 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-soak-bus", 1);
        ::setenv("QUORVEL_SOAK_FOLDER", folder_.c_str(), 1);
        return true;
    }

    bool startLife(std::size_t at, double start) {
        std::vector<std::string> arguments{"--life", "--start", exactNumber(start)};
        if (outcome.lives == 0) arguments.insert(arguments.end(), {"--device", setup_.device});
        arguments.insert(arguments.end(), relaunchOn_.begin(), relaunchOn_.end());
        relaunchOn_.clear();
        log_ = folder_ / ("life-" + std::to_string(outcome.lives) + ".log");
        ++outcome.lives;
        life_ = LifeProcess::start(arguments, log_);
        if (!life_) return fail(at, "launches", "cannot start a process for the app");
        return takeAnswer(at, true, true);
    }

    // Sends a step to the running life and holds its answer against the ledger.
    bool step(std::size_t at, const WalkStep& step) {
        if (!life_->send(step.text())) return died(at);
        return takeAnswer(at, step.taps());
    }

    bool endLife(std::size_t at, const WalkStep& step) {
        if (step.kind == Kind::kill) {
            life_->kill();
            life_->ended(kEndSeconds);
            if (auto report = sanitizerReport(log_)) return fail(at, "no-sanitizer-report", *report);
        } else {
            if (!life_->send(step.text()) || !takeAnswer(at, false)) return false;
            if (!closeLife(at, *life_, log_, "the app")) return false;
        }
        life_.reset();
        if (step.kind == Kind::backUp && !copy_.take())
            return fail(at, "walks", "cannot copy the store and the sync state aside");
        if (step.kind == Kind::putBack && !putBack(at, step)) return false;
        double start = now_ + absence(step);
        if (step.kind == Kind::setBack) {
            start = now_ - step.value;
            ledger_.clockSetBack(step.value);
        }
        return startLife(at, start);
    }

    // With the app closed, what the step names is put back from the copy, if there is one. A store put
    // back keeps of what it lacks only what the shared folder holds: the rest never left it.
    bool putBack(std::size_t at, const WalkStep& step) {
        if (!copy_.taken()) return true;
        if (step.restored() != WalkStep::Restored::syncState) {
            const auto account = ledger_.storePutBack(
                copy_.storedSessions(), SharedFolderSessions::inChangeFiles(
                                            container() / CloudSyncManager::kEnsembleIdentifier / "changes"));
            outcome.sessionsRetaken += account.retaken;
            outcome.sessionsUnsent += account.unsent;
        }
        if (!copy_.putBack(step.restored())) return fail(at, "walks", "cannot put back the copy");
        ++outcome.putBacks;
        return true;
    }

    // The seconds until the app starts again; a relaunch on another device also notes its options.
    double absence(const WalkStep& step) {
        if (step.kind == Kind::putBack) return step.value / 3;
        if (step.kind != Kind::device) return step.value;
        relaunchOn_ = step.shellArguments();
        return step.value / 1000;
    }

    // A second installation on the same shared folder stores sessions of its own and syncs.
    bool sync(std::size_t at, const WalkStep& step) {
        const auto log = folder_ / "second.log";
        auto second = LifeProcess::start({"--second", "--root", (folder_ / "second").string(), "--start",
                                          exactNumber(now_ - 3600), "--sessions", std::to_string(step.value)},
                                         log);
        if (!second) return fail(at, "launches", "cannot start the second installation");
        std::string line;
        if (second->await(line, stepSeconds_) != LifeProcess::Wait::answered) {
            second->kill();
            return fail(at, "answers", "the second installation did not answer: " + tailOf(log, 20));
        }
        const auto answer = LifeAnswer::parse(line);
        if (!answer || !answer->report) {
            return fail(at, answer ? answer->invariant : "answers",
                        (answer ? answer->message : line) + " (the second installation)");
        }
        if (!closeLife(at, *second, log, "the second installation")) return false;
        if (auto problem = ledger_.takeSecond(*answer->report))
            return fail(at, problem->invariant, problem->message);
        if (!this->step(at, step)) return false;
        if (auto problem = ledger_.afterSync()) return fail(at, problem->invariant, problem->message);
        return true;
    }

    bool music(std::size_t at, const WalkStep& step) {
        music_.change(step.value);
        return this->step(at, step);
    }

    // After the walk: the app closes, and what it left on disk must read back.
    bool finish(std::size_t at) {
        if (!endLife(at, {Kind::quit, 1})) return false;
        if (!life_->send(WalkStep{Kind::quit, 0}.text()) || !takeAnswer(at, false)) return false;
        if (!closeLife(at, *life_, log_, "the app")) return false;
        life_.reset();
        return true;
    }

    // A process told to quit must end in time, cleanly and without a sanitizer's report. The outcome
    // shows the end of the current life's log; another process's goes into the message.
    bool closeLife(std::size_t at, LifeProcess& process, const fs::path& log, const std::string& who) {
        const bool current = &process == life_.get();
        const auto tail = [&] { return current ? std::string() : ": " + tailOf(log, 20); };
        if (!process.ended(kEndSeconds)) {
            process.kill();
            return fail(at, "answers",
                        who + " did not end within " + exactNumber(kEndSeconds) + " s of its quit" + tail());
        }
        if (auto report = sanitizerReport(log))
            return fail(at, "no-sanitizer-report", *report + (current ? "" : " (" + who + ")"));
        if (!process.exitedCleanly())
            return fail(at, "exits-cleanly", "after its quit " + who + " " + *process.ended(0) + tail());
        return true;
    }

    bool fail(std::size_t at, std::string invariant, std::string message) {
        outcome.failed = true;
        outcome.failedStep = at;
        outcome.invariant = std::move(invariant);
        outcome.message = std::move(message);
        if (!log_.empty()) outcome.logTail = tailOf(log_, 40);
        if (life_) life_->kill();
        return false;
    }

    void count() {
        outcome.sessions = ledger_.sessionCount();
        outcome.foreignSessions = ledger_.foreignCount();
    }

    const std::string& lastAnswer() const { return lastAnswer_; }

    WalkOutcome outcome;

private:
    // The app's folder in the shared folder.
    fs::path container() const {
        return folder_ / "cloud" / platform::NSBundle::mainBundle()->bundleIdentifier();
    }

    // `firstOfLife`: the launch's answer, held to what the last life left as well.
    bool takeAnswer(std::size_t at, bool mayReset, bool firstOfLife = false) {
        std::string line;
        switch (life_->await(line, stepSeconds_)) {
            case LifeProcess::Wait::timedOut:
                return fail(at, "answers",
                            "no answer within " + exactNumber(stepSeconds_) + " s of the wall clock");
            case LifeProcess::Wait::ended:
                return died(at);
            case LifeProcess::Wait::answered:
                break;
        }
        lastAnswer_ = line;
        const auto answer = LifeAnswer::parse(line);
        if (!answer) return fail(at, "answers", "an answer the walk cannot read: " + line);
        if (!answer->report) return fail(at, answer->invariant, answer->message);
        now_ = answer->report->now;
        ++outcome.answers;
        if (answer->report->running) ++outcome.answersRunning;
        if (!answer->report->screen.empty()) outcome.screens.insert(answer->report->screen);
        const auto problem =
            firstOfLife ? ledger_.takeRelaunch(*answer->report) : ledger_.take(*answer->report, mayReset);
        if (problem) {
            return fail(at, problem->invariant, problem->message);
        }
        return true;
    }

    bool died(std::size_t at) {
        const auto end = life_->ended(kEndSeconds);
        if (auto report = sanitizerReport(log_)) return fail(at, "no-sanitizer-report", *report);
        return fail(at, "no-crash", "the app's process " + end.value_or("stopped answering"));
    }

    WalkSetup setup_;
    fs::path folder_;
    double stepSeconds_;
    MusicFolder music_;
    DataCopy copy_;
    WalkLedger ledger_;
    std::unique_ptr<LifeProcess> life_;
    fs::path log_;
    double now_ = 0;
    std::string lastAnswer_;
    std::vector<std::string> relaunchOn_;
};

}  // namespace

SoakWalk::SoakWalk(WalkSetup setup, Walk walk, Limits limits)
    : setup_(std::move(setup)), walk_(std::move(walk)), limits_(limits) {}

WalkOutcome SoakWalk::run(const fs::path& folder, bool keep) {
    WalkRun run(setup_, folder, limits_.stepSeconds);
    [&] {
        if (!run.prepare() || !run.startLife(0, setup_.start)) return;
        for (std::size_t i = 0; i < walk_.size(); ++i) {
            if (limits_.deadline && std::chrono::steady_clock::now() > *limits_.deadline) break;
            const WalkStep& step = walk_[i];
            bool ok = true;
            if (step.endsLife()) {
                ok = run.endLife(i, step);
            } else if (step.kind == Kind::sync) {
                ok = run.sync(i, step);
            } else if (step.kind == Kind::music) {
                ok = run.music(i, step);
            } else {
                ok = run.step(i, step);
            }
            if (!ok) return;
            run.outcome.stepsWalked = i + 1;
            if (onStep) onStep(i, run.lastAnswer());
        }
        run.finish(run.outcome.stepsWalked);
    }();
    run.count();
    if (!keep) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    return run.outcome;
}

}  // namespace quorvel::soak
