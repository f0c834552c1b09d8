#include "app/screens/settings/option_view_model.h"

#include <optional>

#include "app/core/user_data_manager.h"
#include "app/screens/settings/option_table_view_cell.h"
#include "platform/uikit/tables/ui_table_view.h"

namespace quorvel {
namespace {

using OptionalText = std::optional<std::string>;

// A chosen song (any path but the empty one, or none stored yet) plays instead of the ticking sound.
std::string tickingText(const OptionalText& sound, const OptionalText& songPath) {
    if (songPath && songPath->empty()) return sound.value_or("");
    return "Music";
}

std::string alarmText(const OptionalText& alarm) {
    if (!alarm) return "";
    return alarm->empty() ? "None" : *alarm;
}

}  // namespace

void OptionViewModel::buildOptions() {
    const PomodoroData pomodoro = UserDataManager::getPomodoroData();
    const AppSettingData app = UserDataManager::getAppSettingData();
    const SoundSettingData sound = UserDataManager::getSoundSettingData();

    std::vector<OptionSection> options;
    options.emplace_back(std::vector{TimerLengthCell::focusLength(pomodoro.focusLength),
                                     TimerLengthCell::shortBreakLength(pomodoro.shortBreakLength),
                                     TimerLengthCell::longBreakLength(pomodoro.longBreakLength)});
    options.emplace_back(std::vector{FocusSessionCell::sessionsPerRound(std::to_string(pomodoro.roundLimit)),
                                     FocusSessionCell::dailyFocusGoal(std::to_string(pomodoro.goalLimit)),
                                     FocusSessionCell::autoResetRoundAndGoal(app.autoResetHour)});
    options.push_back(makeTickingSoundSection());
    options.push_back(makeAlarmSoundSection());
    options.emplace_back(std::vector{
        ThemeColorCell::focusColor(pomodoro.themeColorOf(SessionType::focus)),
        ThemeColorCell::shortBreakColor(pomodoro.themeColorOf(SessionType::shortBreak)),
        ThemeColorCell::longBreakColor(pomodoro.themeColorOf(SessionType::longBreak)),
        ThemeColorCell::setOriginalTheme()});
    options.emplace_back(std::vector{VolumeControlCell::volumeOfAlarm(sound.alarmVolume),
                                     VolumeControlCell::volumeOfTicking(sound.tickingVolume),
                                     VolumeControlCell::soundAlarmOn(sound.alarmEnabled),
                                     VolumeControlCell::soundTickingOn(sound.tickingEnabled)});
    options.emplace_back(std::vector{GeneralCell::preventScreenLock(app.preventLockScreenEnabled),
                                     GeneralCell::autoRestart(app.autoRestart),
                                     GeneralCell::vibrateOnSilentMode(app.vibrateAlarmEnabled),
                                     GeneralCell::showBadgeonTicking(app.timerBadgeEnabled),
                                     GeneralCell::focusReminder()});
    std::vector<FeedbackCell> feedback;
    for (FeedbackRow row : {FeedbackRow::emailUs, FeedbackRow::rateThisApp, FeedbackRow::supportCenter,
                            FeedbackRow::likeUsOnFacebook, FeedbackRow::followUsOnTwitter,
                            FeedbackRow::followUsOnInstagram}) {
        feedback.push_back(FeedbackCell::make(row));
    }
    options.emplace_back(std::move(feedback));
    options_ = std::move(options);
}

OptionSection OptionViewModel::makeTickingSoundSection() {
    const SoundSettingData s = UserDataManager::getSoundSettingData();
    return OptionSection(std::vector{
        TickingSoundCell::focusTicking(tickingText(s.focusTickingSound, s.focusTickingMusic)),
        TickingSoundCell::shortBreakTicking(tickingText(s.shortBreakTickingSound, s.shortBreakTickingMusic)),
        TickingSoundCell::longBreakTicking(tickingText(s.longBreakTickingSound, s.longBreakTickingMusic))});
}

OptionSection OptionViewModel::makeAlarmSoundSection() {
    const SoundSettingData s = UserDataManager::getSoundSettingData();
    return OptionSection(std::vector{AlarmSoundCell::focusAlarm(alarmText(s.focusAlertSound)),
                                     AlarmSoundCell::shortBreakAlarm(alarmText(s.shortBreakAlertSound)),
                                     AlarmSoundCell::longBreakAlarm(alarmText(s.longBreakAlertSound))});
}

std::shared_ptr<platform::UITableViewCell> OptionViewModel::cellForRow(platform::UITableView& tableView,
                                                                       const platform::NSIndexPath& indexPath) const {
    auto cell = std::dynamic_pointer_cast<OptionTableViewCell>(
        tableView.dequeueReusableCellWithIdentifier(OptionTableViewCell::kReuseIdentifier, indexPath));
    if (!cell) return nullptr;
    const OptionSection& section = options_.at(static_cast<std::size_t>(indexPath.section));
    std::visit([&](const auto& rows) { cell->setRowValue(rows.at(static_cast<std::size_t>(indexPath.row))); },
               section.rows());
    cell->configure(*this, indexPath);
    return cell;
}

std::string soundListRowTitle(const SoundOptionFunction& function, const std::string& name) {
    const auto* ticking = std::get_if<SoundOptionFunction::TickingSoundType>(&function.payload());
    if (!ticking) return name;
    const SoundSettingData s = UserDataManager::getSoundSettingData();
    using Type = SoundOptionFunction::TickingSoundType;
    const OptionalText& path = *ticking == Type::focus        ? s.focusTickingMusic
                               : *ticking == Type::shortBreak ? s.shortBreakTickingMusic
                                                              : s.longBreakTickingMusic;
    const OptionalText& title = *ticking == Type::focus        ? s.focusTickingMusicTitle
                                : *ticking == Type::shortBreak ? s.shortBreakTickingMusicTitle
                                                               : s.longBreakTickingMusicTitle;
    // A song without a stored title shows the name alone rather than a dangling " - ".
    if ((path && path->empty()) || !title || title->empty()) return name;
    return name + " - " + *title;
}

}  // namespace quorvel
