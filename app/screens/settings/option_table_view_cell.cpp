#include "app/screens/settings/option_table_view_cell.h"

#include <algorithm>
#include <cstdio>

#include "app/core/app_notification_names.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/sound_vocabulary.h"
#include "app/screens/settings/option_view_model.h"
#include "app/screens/settings/settings_writer.h"
#include "app/screens/timer/count_texts.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_date_formatter.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {
namespace {

using platform::CGRect;
using platform::CGSize;
using platform::UIColor;


std::shared_ptr<UIColor> rgbBytes(int red, int green, int blue) {
    return UIColor::colorWithRed(red / 255.0, green / 255.0, blue / 255.0, 1.0);
}
const std::shared_ptr<UIColor>& badgeTextColor() {
    static const auto color = rgbBytes(0x7F, 0x80, 0x81);
    return color;
}
const std::shared_ptr<UIColor>& badgeBackgroundColor() {
    static const auto color = rgbBytes(0xE6, 0xE6, 0xE6);
    return color;
}

// The count texts' minutes text, lower-cased: "1 minute", "25 minutes"; a length never turns into hours.
// The timer screen's minutes text, lower-cased: "25 minutes", "1 minute".
std::string lengthText(std::int64_t minutes) {
    std::string text = minutesText(static_cast<long>(minutes));
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A volume of 0.0…1.0 as 0.0…10.0 with one decimal; a stored value outside is shown as it is.
std::string volumeText(float volume) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.01f", static_cast<double>(volume * 10));
    return text;
}

std::function<void(bool)>& iconBadgeUpdater() {
    static std::function<void(bool)> updater;
    return updater;
}

void postNotification(const platform::NSNotificationName& name, std::any object) {
    platform::NSNotificationCenter::defaultCenter().postNotificationName(name, std::move(object));
}

}  // namespace

OptionTableViewCell::OptionTableViewCell() : OptionTableViewCell(platform::UITableViewCellStyle::default_, kReuseIdentifier) {}

OptionTableViewCell::OptionTableViewCell(platform::UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UITableViewCell(style, reuseIdentifier) {
    build();
}

void OptionTableViewCell::build() {
    titleLabel_ = std::make_shared<platform::UILabel>();
    titleLabel_->setFont(platform::UIFont::systemFontOfSize(16));
    titleLabel_->setTextColor(rgbBytes(0x33, 0x33, 0x33));
    // Beside a wide badge on a 320-point phone a long title shrinks a little rather than lose its end.
    titleLabel_->setAdjustsFontSizeToFitWidth(true);
    titleLabel_->setMinimumScaleFactor(0.8);
    badgeLabel_ = std::make_shared<BadgeLabel>();
    badgeLabel_->setFont(platform::UIFont::systemFontOfSize(14));
    badgeLabel_->setTextAlignment(platform::NSTextAlignment::center);
    badgeLabel_->setClipsToBounds(true);
    switchButton_ = std::make_shared<platform::UISwitch>();
    switchButton_->addTarget(
        this, [this](platform::UIControl& sender) { switchValueChanged(static_cast<platform::UISwitch&>(sender)); },
        platform::UIControlEventValueChanged);
    for (const auto& view : {std::static_pointer_cast<platform::UIView>(titleLabel_),
                             std::static_pointer_cast<platform::UIView>(badgeLabel_),
                             std::static_pointer_cast<platform::UIView>(switchButton_)}) {
        contentView()->addSubview(view);
    }
    badgeLabel_->setHidden(true);
    switchButton_->setHidden(true);
}

void OptionTableViewCell::configure(const OptionViewModel& model, const platform::NSIndexPath& indexPath) {
    switchButton_->setHidden(true);
    badgeLabel_->setHidden(true);
    badgeLabel_->setTextColor(badgeTextColor());
    badgeLabel_->setBackgroundColor(badgeBackgroundColor());

    const auto& options = model.options();
    if (indexPath.section < 0 || static_cast<std::size_t>(indexPath.section) >= options.size()) return;
    using Kind = OptionSection::Kind;
    switch (options[static_cast<std::size_t>(indexPath.section)].kind()) {
        case Kind::timerLengthItems: if (auto row = timerLengthCell()) showTimerLength(*row); break;
        case Kind::focusSessionItems: if (auto row = focusSessionCell()) showFocusSession(*row); break;
        case Kind::tickingSoundItems: if (auto row = tickingSoundCell()) showTickingSound(*row); break;
        case Kind::alarmSoundItems: if (auto row = alarmSoundCell()) showAlarmSound(*row); break;
        case Kind::themeColorItems: if (auto row = themeColorCell()) showThemeColor(*row); break;
        case Kind::volumeControlItems: if (auto row = volumeControlCell()) showVolumeControl(*row); break;
        case Kind::generalItems: if (auto row = generalCell()) showGeneral(*row); break;
        case Kind::feedbackItems:
            if (auto row = feedbackCell()) {
                static constexpr const char* kTitles[] = {"Email Us",           "Rate This App",
                                                          "Support Center",     "Like us on Facebook",
                                                          "Follow us on Twitter", "Follow us on Instagram"};
                titleLabel_->setText(kTitles[static_cast<int>(row->which)]);
            }
            break;
    }
    setNeedsLayout();
}

void OptionTableViewCell::showTimerLength(const TimerLengthCell& row) {
    static constexpr const char* kTitles[] = {"Focus Length", "Short Break Length", "Long Break Length"};
    titleLabel_->setText(kTitles[static_cast<int>(row.which)]);
    showBadge(lengthText(row.value<std::int64_t>()));
}

void OptionTableViewCell::showFocusSession(const FocusSessionCell& row) {
    switch (row.which) {
        case FocusSessionRow::sessionsPerRound:
            titleLabel_->setText("Sessions Per Round(Long Break)");
            return showBadge(row.value<std::string>());
        case FocusSessionRow::dailyFocusGoal:
            titleLabel_->setText("Daily Focus Goal");
            return showBadge(row.value<std::string>());
        case FocusSessionRow::autoResetRoundAndGoal:
            titleLabel_->setText("Auto-Reset Round & Goal");
            return showBadge(autoResetText(row.value<std::int64_t>()));
    }
}

void OptionTableViewCell::showTickingSound(const TickingSoundCell& row) {
    titleLabel_->setText(std::string(
        tickingSettingTitle(static_cast<SoundOptionFunction::TickingSoundType>(row.which))));
    showBadge(row.value<std::string>());
}

void OptionTableViewCell::showAlarmSound(const AlarmSoundCell& row) {
    static constexpr const char* kTitles[] = {"Focus Alarm", "Short Break Alarm", "Long Break Alarm"};
    titleLabel_->setText(kTitles[static_cast<int>(row.which)]);
    showBadge(row.value<std::string>());
}

void OptionTableViewCell::showThemeColor(const ThemeColorCell& row) {
    static constexpr const char* kTitles[] = {"Focus Color", "Short Break Color", "Long Break Color",
                                              "Set Original Theme"};
    static constexpr const char* kBadges[] = {"Focus", "Short Break", "Long Break"};
    titleLabel_->setText(kTitles[static_cast<int>(row.which)]);
    if (row.which == ThemeColorRow::setOriginalTheme) return;
    showBadge(kBadges[static_cast<int>(row.which)]);
    badgeLabel_->setTextColor(UIColor::whiteColor());
    badgeLabel_->setBackgroundColor(row.value<OptionColor>());
}

void OptionTableViewCell::showVolumeControl(const VolumeControlCell& row) {
    static constexpr const char* kTitles[] = {"Volume of Alarm", "Volume of Ticking", "Sound Alarm On",
                                              "Sound Ticking On"};
    titleLabel_->setText(kTitles[static_cast<int>(row.which)]);
    if (row.which == VolumeControlRow::volumeOfAlarm || row.which == VolumeControlRow::volumeOfTicking) {
        showBadge(volumeText(row.value<float>()));
    } else {
        showSwitch(row.value<bool>());
    }
}

void OptionTableViewCell::showGeneral(const GeneralCell& row) {
    static constexpr const char* kTitles[] = {"Prevent screen lock", "Auto Restart", "Vibrate on Silent Mode",
                                              "Show Badge on Ticking", "Focus Reminder"};
    titleLabel_->setText(kTitles[static_cast<int>(row.which)]);
    if (row.which != GeneralRow::focusReminder) showSwitch(row.value<bool>());
}

void OptionTableViewCell::showBadge(const std::string& text) {
    badgeLabel_->setText(text);
    badgeLabel_->setHidden(false);
}

void OptionTableViewCell::showSwitch(bool on) {
    switchButton_->setOn(on);
    switchButton_->setHidden(false);
}

void OptionTableViewCell::switchValueChanged(platform::UISwitch& sender) {
    applySwitchChange(sender);
}

void OptionTableViewCell::applySwitchChange(const platform::UISwitch& sender) {
    const bool on = sender.isOn();
    if (auto row = volumeControlCell()) {
        switch (row->which) {
            case VolumeControlRow::soundAlarmOn:
                storeSettings({UserDefaultProperties::alarmEnabled(on)});
                postNotification(NotificationName::soundMuted(), VolumeType::alert);
                return DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::soundAlarmEnabled(on));
            case VolumeControlRow::soundTickingOn:
                storeSettings({UserDefaultProperties::tickingEnabled(on)});
                postNotification(NotificationName::soundMuted(), VolumeType::ticking);
                return DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::tickingSoundEnabled(on));
            default: return;
        }
    }
    if (auto row = generalCell()) {
        switch (row->which) {
            case GeneralRow::preventScreenLock:
                storeSettings({UserDefaultProperties::preventLockScreenEnabled(on)});
                DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::preventLockScreen(on));
                return postNotification(NotificationName::enableLockScreen(), on);
            case GeneralRow::autoRestart:
                storeSettings({UserDefaultProperties::autoRestart(on)});
                return DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::autoRestart(on));
            case GeneralRow::vibrateOnSilentMode:
                storeSettings({UserDefaultProperties::vibrateAlarmEnabled(on)});
                return DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::vibrateAlarm(on));
            case GeneralRow::showBadgeonTicking:
                storeSettings({UserDefaultProperties::timerBadgeEnabled(on)});
                DazarazeAnalyticsManager::logOptionsEvent(OptionsEventKind::showBadge(on));
                if (iconBadgeUpdater()) iconBadgeUpdater()(on);
                return;
            case GeneralRow::focusReminder: return;
        }
    }
}

std::string OptionTableViewCell::autoResetText(std::int64_t hour) {
    const auto defaults = UserDefaultProperties::standardDefaults();
    const char* key = UserDefaultProperties::key(UserDefaultProperties::Case::resetCounterAtMidnight);
    if (!defaults || !defaults->boolForKey(key)) return "Never";
    // The calendar would roll an hour beyond the day over (666, "never", would read as 6 PM).
    if (hour < 0 || hour > 23) return "";
    platform::NSDateComponents components;
    components.hour = hour;
    const auto date = platform::NSCalendar::currentCalendar().dateFromComponents(components);
    if (!date) return "";
    platform::NSDateFormatter formatter;
    formatter.setDateStyle(platform::NSDateFormatterStyle::None);
    formatter.setTimeStyle(platform::NSDateFormatterStyle::Short);
    return formatter.stringFromDate(*date);
}

void OptionTableViewCell::setIconBadgeUpdater(std::function<void(bool)> updater) {
    iconBadgeUpdater() = std::move(updater);
}

void OptionTableViewCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    const CGRect content = contentView()->bounds();
    const platform::CGFloat margin = kMargin;
    platform::CGFloat right = content.size.width - margin;
    if (!switchButton_->isHidden()) {
        const CGSize size = switchButton_->intrinsicContentSize();
        switchButton_->setFrame(CGRect(right - size.width, (content.size.height - size.height) / 2, size.width,
                                       size.height));
        right -= size.width + 8;
    }
    if (!badgeLabel_->isHidden()) {
        const CGSize text = badgeLabel_->sizeThatFits(CGSize{content.size.width / 2, content.size.height});
        const auto padding = badgeLabel_->padding();
        const platform::CGFloat width = text.width + padding.left + padding.right;
        const platform::CGFloat height = text.height + padding.top + padding.bottom;
        badgeLabel_->setFrame(CGRect(right - width, (content.size.height - height) / 2, width, height));
        badgeLabel_->layer()->setCornerRadius(height / 2);
        right -= width + 8;
    }
    titleLabel_->setFrame(CGRect(margin, 0, std::max<platform::CGFloat>(0, right - margin), content.size.height));
}

}  // namespace quorvel
