// quorvel_soak: walks the real app at random, as a person might use it for days, and checks after
// every step what must always hold. A failure is shrunk to the fewest steps that still fail and
// printed with a command that replays them.
//
//   quorvel_soak [--seconds N | --steps N] [--seed N] [--replay STEPS] [--step-limit S] [--shrink-seconds S]
//                [--verbose: each step with the app's answer] [--keep: the walk's folder stays]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/soak/life_entry.h"
#include "tests/soak/soak_walk.h"
#include "tests/soak/walk_plan.h"
#include "tests/soak/walk_shrinker.h"

// A report from the undefined-behaviour checks stops the life it happens in, so the walk sees it.
extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

namespace {

using namespace quorvel::soak;
using Steady = std::chrono::steady_clock;

struct Options {
    std::optional<std::uint64_t> seed;
    std::optional<std::string> replay;
    double seconds = 60;
    std::optional<std::size_t> steps;
    double stepLimit = 120;
    double shrinkSeconds = 900;
    bool verbose = false;
    bool keep = false;
};

std::optional<std::string> valueOf(const std::vector<std::string>& arguments, const std::string& name) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == name) return arguments[i + 1];
    }
    return std::nullopt;
}

// The whole value must be a number, so that "--seconds 5m" is refused rather than read as 5.
template <typename Number>
std::optional<Number> numberOf(const std::vector<std::string>& arguments, const std::string& name) {
    const auto value = valueOf(arguments, name);
    if (!value) return std::nullopt;
    std::size_t used = 0;
    try {
        Number number{};
        if constexpr (std::is_floating_point_v<Number>) {
            number = std::stod(*value, &used);
        } else {
            if (value->find('-') == std::string::npos) number = std::stoull(*value, &used);
        }
        if (used == value->size() && !value->empty()) return number;
    } catch (const std::logic_error&) {
    }
    throw std::invalid_argument(name + " wants a number, not \"" + *value + "\"");
}

bool has(const std::vector<std::string>& arguments, const std::string& name) {
    for (const auto& argument : arguments) {
        if (argument == name) return true;
    }
    return false;
}

std::filesystem::path walkFolder(const std::string& name) {
    const char* base = std::getenv("TMPDIR");
    return std::filesystem::path(base && *base ? base : "/tmp") / name;
}

std::string program() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("quorvel_soak") : self.string();
}

void printOutcome(const char* what, const WalkOutcome& outcome) {
    std::printf("soak: %s: %zu steps, %zu lives, %zu sessions stored (%zu from the second installation)\n",
                what, outcome.stepsWalked, outcome.lives, outcome.sessions, outcome.foreignSessions);
    if (outcome.putBacks > 0) {
        std::printf(
            "soak: put back from a copy %zu times: %zu sessions to take in again from the shared folder, "
            "%zu gone with the store before they were sent\n",
            outcome.putBacks, outcome.sessionsRetaken, outcome.sessionsUnsent);
    }
    std::string screens;
    for (const auto& screen : outcome.screens) screens += (screens.empty() ? "" : ", ") + screen;
    std::printf("soak: screens seen: %s\n", screens.c_str());
    if (outcome.answers > 0) {
        std::printf("soak: the timer ran in %zu of %zu answers (%.0f %%)\n", outcome.answersRunning,
                    outcome.answers, 100.0 * static_cast<double>(outcome.answersRunning) / outcome.answers);
    }
}

void printFailure(const WalkOutcome& outcome) {
    std::printf("soak: the invariant \"%s\" failed at step %zu: %s\n", outcome.invariant.c_str(),
                outcome.failedStep + 1, outcome.message.c_str());
    if (!outcome.logTail.empty()) std::printf("soak: the app's last lines:\n%s", outcome.logTail.c_str());
}

int walk(const Options& options) {
    const std::uint64_t seed =
        options.seed ? *options.seed : std::random_device()() * 65536ull + std::random_device()();
    std::printf("soak: seed %llu\n", static_cast<unsigned long long>(seed));
    std::fflush(stdout);
    const WalkSetup setup = WalkPlan::setup(seed);
    std::printf("soak: on %s, first launched at %.0f s after 2001 (Europe/Berlin)\n", setup.device.c_str(),
                setup.start);
    Walk steps;
    if (options.replay) {
        std::string error;
        const auto parsed = parseWalk(*options.replay, &error);
        if (!parsed) {
            std::fprintf(stderr, "quorvel_soak: %s\n", error.c_str());
            return 2;
        }
        steps = *parsed;
    } else {
        steps = WalkPlan::steps(seed, options.steps.value_or(1000000));
    }

    SoakWalk::Limits limits{options.stepLimit, std::nullopt};
    if (!options.replay && !options.steps) {
        limits.deadline =
            Steady::now() + std::chrono::milliseconds(static_cast<long long>(options.seconds * 1000));
    }
    const auto started = Steady::now();
    auto lastProgress = started;
    SoakWalk walk(setup, steps, limits);
    walk.onStep = [&](std::size_t at, const std::string& answer) {
        if (options.verbose) {
            std::printf("soak: step %zu %s: %s\n", at + 1, steps[at].text().c_str(), answer.c_str());
            return;
        }
        if (Steady::now() - lastProgress < std::chrono::seconds(30)) return;
        lastProgress = Steady::now();
        std::printf("soak: %zu steps in %.0f s\n", at + 1,
                    std::chrono::duration<double>(lastProgress - started).count());
        std::fflush(stdout);
    };
    const std::string name = "quorvel-soak-" + std::to_string(seed) + "-" + std::to_string(::getpid());
    const auto outcome = walk.run(walkFolder(name), options.keep);
    if (options.keep) {
        std::printf("soak: the walk's files are kept in %s (failure.png: the screen when a check failed)\n",
                    walkFolder(name).c_str());
    }
    if (!outcome.failed) {
        printOutcome("walked", outcome);
        return 0;
    }
    printOutcome("walked", outcome);
    printFailure(outcome);
    std::fflush(stdout);

    Walk failing(steps.begin(),
                 steps.begin() + static_cast<std::ptrdiff_t>(std::min(outcome.failedStep + 1, steps.size())));
    std::printf("soak: shrinking %zu steps (at most %.0f s)\n", failing.size(), options.shrinkSeconds);
    std::fflush(stdout);
    int trials = 0;
    const auto shrunk = WalkShrinker::shrink(
        failing,
        [&](const Walk& candidate) -> std::optional<std::size_t> {
            SoakWalk trial(setup, candidate, {options.stepLimit, std::nullopt});
            const auto result = trial.run(walkFolder(name + "-trial-" + std::to_string(++trials)));
            if (!result.failed || result.invariant != outcome.invariant) return std::nullopt;
            return result.failedStep + 1;
        },
        Steady::now() + std::chrono::milliseconds(static_cast<long long>(options.shrinkSeconds * 1000)));
    // The shrunk walk once more, for its own message.
    const auto last =
        SoakWalk(setup, shrunk, {options.stepLimit, std::nullopt}).run(walkFolder(name + "-shrunk"));
    std::printf("soak: shrunk to %zu steps in %d trials: %s\n", shrunk.size(), trials,
                walkText(shrunk).c_str());
    if (last.failed) printFailure(last);
    std::printf("soak: replay: %s --seed %llu --replay '%s'\n", program().c_str(),
                static_cast<unsigned long long>(seed), walkText(shrunk).c_str());
    return 1;
}

const char* const usage =
    "usage: quorvel_soak [--seconds N | --steps N] [--seed N] [--replay STEPS] [--step-limit S]\n"
    "                    [--shrink-seconds S] [--verbose] [--keep]\n";

// A mistyped option would otherwise start a walk of the default length on a fresh seed.
std::optional<std::string> optionError(const std::vector<std::string>& arguments) {
    static const std::vector<std::string> flags{"--verbose", "--keep", "--life", "--second"};
    static const std::vector<std::string> valued{
        "--seconds", "--steps", "--seed", "--replay",   "--step-limit",  "--shrink-seconds",
        "--device",  "--start", "--root", "--sessions", "--orientation", "--split"};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (std::find(flags.begin(), flags.end(), argument) != flags.end()) continue;
        if (std::find(valued.begin(), valued.end(), argument) == valued.end())
            return "unknown option " + argument;
        if (++i == arguments.size()) return argument + " wants a value";
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (has(arguments, "--help")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (const auto error = optionError(arguments)) {
        std::fprintf(stderr, "quorvel_soak: %s\n%s", error->c_str(), usage);
        return 2;
    }
    try {
        if (has(arguments, "--life")) {
            std::vector<std::string> shell;
            for (const char* option : {"--device", "--orientation", "--split"}) {
                if (const auto value = valueOf(arguments, option))
                    shell.insert(shell.end(), {option, *value});
            }
            return LifeEntry::life(numberOf<double>(arguments, "--start").value_or(0), shell);
        }
        if (has(arguments, "--second")) {
            return LifeEntry::secondInstallation(
                valueOf(arguments, "--root").value_or(""), numberOf<double>(arguments, "--start").value_or(0),
                static_cast<int>(numberOf<std::uint64_t>(arguments, "--sessions").value_or(1)));
        }
        Options options;
        options.seed = numberOf<std::uint64_t>(arguments, "--seed");
        options.replay = valueOf(arguments, "--replay");
        options.verbose = has(arguments, "--verbose");
        options.keep = has(arguments, "--keep");
        options.seconds = numberOf<double>(arguments, "--seconds").value_or(options.seconds);
        options.steps = numberOf<std::uint64_t>(arguments, "--steps");
        options.stepLimit = numberOf<double>(arguments, "--step-limit").value_or(options.stepLimit);
        options.shrinkSeconds =
            numberOf<double>(arguments, "--shrink-seconds").value_or(options.shrinkSeconds);
        return walk(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvel_soak: %s\n", error.what());
        return 2;
    }
}
