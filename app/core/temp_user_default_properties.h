#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/foundation/ns_date.h"

namespace quorvel {

// One-off flags, dates and notification bookkeeping, all in the standard suite. Unlike the settings,
// every save is synchronised at once.
class TempUserDefaultProperties {
public:
    enum class Case {
        showedOnceRevealingCell,
        hasGuidedOncePortrait,
        hasGuidedOnceLandscape,
        launchedOnce,
        checkedDate,
        sessionCountPostingDate,
        latestTimerStartedDate,
        lastSessionChangeNotificationDate,
        scheduledSessionChangeNotificationIDs,
        needResumeTimerWhenLaunching,
    };
    static constexpr std::size_t kCaseCount = 10;

    // Booleans as such; dates as date objects (absent removes the key); the list as a string array.
    using Payload = std::variant<bool, std::optional<platform::NSDate>, std::vector<std::string>>;
    using OptionalDate = std::optional<platform::NSDate>;

    static TempUserDefaultProperties showedOnceRevealingCell(bool v) {
        return {Case::showedOnceRevealingCell, v};
    }
    static TempUserDefaultProperties hasGuidedOncePortrait(bool v) {
        return {Case::hasGuidedOncePortrait, v};
    }
    static TempUserDefaultProperties hasGuidedOnceLandscape(bool v) {
        return {Case::hasGuidedOnceLandscape, v};
    }
    static TempUserDefaultProperties launchedOnce(bool v) { return {Case::launchedOnce, v}; }
    static TempUserDefaultProperties checkedDate(OptionalDate v) { return {Case::checkedDate, v}; }
    static TempUserDefaultProperties sessionCountPostingDate(OptionalDate v) {
        return {Case::sessionCountPostingDate, v};
    }
    static TempUserDefaultProperties latestTimerStartedDate(OptionalDate v) {
        return {Case::latestTimerStartedDate, v};
    }
    static TempUserDefaultProperties lastSessionChangeNotificationDate(OptionalDate v) {
        return {Case::lastSessionChangeNotificationDate, v};
    }
    static TempUserDefaultProperties scheduledSessionChangeNotificationIDs(std::vector<std::string> v) {
        return {Case::scheduledSessionChangeNotificationIDs, std::move(v)};
    }
    static TempUserDefaultProperties needResumeTimerWhenLaunching(bool v) {
        return {Case::needResumeTimerWhenLaunching, v};
    }

    // Writes the value into the standard suite, then synchronises that suite.
    static void save(const TempUserDefaultProperties& value);

    Case which() const { return which_; }
    const Payload& payload() const { return payload_; }
    static const char* key(Case which);

private:
    TempUserDefaultProperties(Case which, Payload payload) : which_(which), payload_(std::move(payload)) {}

    Case which_;
    Payload payload_;
};

}  // namespace quorvel
