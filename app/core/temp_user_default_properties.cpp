#include "app/core/temp_user_default_properties.h"

#include <array>

#include "app/core/user_default_properties.h"

namespace quorvel {

namespace {

using Case = TempUserDefaultProperties::Case;
using platform::Value;

struct Row {
    Case which;
    const char* key;
};

constexpr std::array<Row, TempUserDefaultProperties::kCaseCount> kRows{{
    {Case::showedOnceRevealingCell, "ShowedOnceRevealingCell"},
    {Case::hasGuidedOncePortrait, "HasGuidedOncePortrait"},
    {Case::hasGuidedOnceLandscape, "HasGuidedOnceLandscape"},
    {Case::launchedOnce, "LaunchedOnce"},
    {Case::checkedDate, "CheckDate"},
    {Case::sessionCountPostingDate, "SessionCountPostingDate"},
    {Case::latestTimerStartedDate, "latestTimerStartedDate"},
    {Case::lastSessionChangeNotificationDate, "lastSessionChangeNotificationDate"},
    {Case::scheduledSessionChangeNotificationIDs, "scheduledSessionChangeNotificationIDs"},
    {Case::needResumeTimerWhenLaunching, "needResumeTimerWhenLaunching"},
}};

constexpr bool rowsFollowTheCases() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].which) != i) return false;
    }
    return true;
}
static_assert(rowsFollowTheCases(), "the rows must follow the order of the cases");
static_assert(static_cast<std::size_t>(Case::needResumeTimerWhenLaunching) + 1 == kRows.size());

// The value to store; null removes the key.
Value storedForm(const TempUserDefaultProperties::Payload& payload) {
    if (const bool* flag = std::get_if<bool>(&payload)) return Value(*flag);
    if (const auto* date = std::get_if<std::optional<platform::NSDate>>(&payload)) {
        return *date ? Value(**date) : Value();
    }
    Value::Array list;
    for (const auto& text : std::get<std::vector<std::string>>(payload)) list.emplace_back(text);
    return Value(std::move(list));
}

}  // namespace

const char* TempUserDefaultProperties::key(Case which) {
    return kRows[static_cast<std::size_t>(which)].key;
}

void TempUserDefaultProperties::save(const TempUserDefaultProperties& value) {
    const auto suite = UserDefaultProperties::standardDefaults();
    suite->setObject(storedForm(value.payload_), key(value.which_));
    suite->synchronize();
}

}  // namespace quorvel
