#include "app/screens/settings/option_view_controller.h"

#include "app/core/app_notification_names.h"
#include "app/core/navigation_bar_style.h"
#include "app/core/theme_colors.h"
#include "app/core/user_data_manager.h"
#include "app/screens/reminders/reminder_settings_controller.h"
#include "app/screens/settings/carousel_options_view_controller.h"
#include "app/screens/settings/color_picker_view_controller.h"
#include "app/screens/settings/colour_picker_function.h"
#include "app/screens/settings/settings_writer.h"
#include "app/screens/settings/sound_options_view_controller.h"
#include "app/screens/settings/volume_alert_view_controller.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/messageui/mf_mail_compose_view_controller.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/nibs/ui_storyboard_segue.h"

namespace quorvel {

using platform::NSIndexPath;
using platform::NSNotificationCenter;
using platform::UITableView;

namespace {

// The stored focus colour, or the focus session's default while none is stored.
std::shared_ptr<platform::UIColor> focusThemeColor() {
    return UserDataManager::getPomodoroData().themeColorOf(SessionType::focus);
}

}  // namespace

OptionViewController::~OptionViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

std::weak_ptr<OptionViewController> OptionViewController::weakSelf() {
    return std::static_pointer_cast<OptionViewController>(shared_from_this());
}

// Life cycle.

void OptionViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::colourSet(), [this](const auto&) { reloadColourSections(); });
    center.addObserver(this, NotificationName::autoResetSound(), [this](const auto&) { reloadAutoResetSections(); });
    // A refused song gave way to default sounds while the list may show it.
    center.addObserver(this, NotificationName::chosenSongRefused(), [this](const auto&) { rebuildOptions(); });
    optionViewModel_.setDidUpdate([weak = weakSelf()] {
        auto self = weak.lock();
        if (!self) return;
        if (auto table = self->tableView()) table->reloadData();
        self->view()->setBackgroundColor(focusThemeColor());
    });
}

void OptionViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    rebuildOptions();
    refreshOptions();
}

void OptionViewController::rebuildOptions() {
    optionViewModel_.buildOptions();
    if (const auto& didUpdate = optionViewModel_.didUpdate()) didUpdate();
}

void OptionViewController::refreshOptions() {
    if (auto navigation = navigationController()) styleNavigationBar(false, navigation->navigationBar());
    rebuildOptions();
    deselectSelectedRow();
}

void OptionViewController::deselectSelectedRow() {
    auto table = tableView();
    if (!table) return;
    if (auto selected = table->indexPathForSelectedRow()) table->deselectRowAtIndexPath(*selected, true);
}

void OptionViewController::reloadColourSections() {
    reloadSection(kThemeColorSection);
}

void OptionViewController::reloadAutoResetSections() {
    reloadSection(kFocusSessionSection);
}

void OptionViewController::reloadSection(long section) {
    if (auto table = tableView()) table->reloadSections({section}, platform::UITableViewRowAnimation::none);
}

// The table.

const OptionSection* OptionViewController::section(long position) const {
    const auto& options = optionViewModel_.options();
    if (position < 0 || static_cast<std::size_t>(position) >= options.size()) return nullptr;
    return &options[static_cast<std::size_t>(position)];
}

long OptionViewController::numberOfSectionsInTableView(UITableView&) {
    return static_cast<long>(optionViewModel_.options().size());
}

std::optional<std::string> OptionViewController::tableViewTitleForHeaderInSection(UITableView&, long position) {
    if (const OptionSection* found = section(position)) return OptionSection::headerTitle(found->kind());
    return std::nullopt;
}

long OptionViewController::tableViewNumberOfRowsInSection(UITableView&, long position) {
    const OptionSection* found = section(position);
    return found ? static_cast<long>(found->count()) : 0;
}

std::shared_ptr<platform::UITableViewCell> OptionViewController::tableViewCellForRowAtIndexPath(
    UITableView& tableView, const NSIndexPath& indexPath) {
    return optionViewModel_.cellForRow(tableView, indexPath);
}

bool OptionViewController::tableViewShouldHighlightRowAtIndexPath(UITableView&, const NSIndexPath& indexPath) {
    const OptionSection* found = section(indexPath.section);
    if (!found) return false;
    const auto row = static_cast<std::size_t>(indexPath.row);
    if (const auto* rows = std::get_if<std::vector<VolumeControlCell>>(&found->rows())) {
        if (row >= rows->size()) return false;
        const auto which = (*rows)[row].which;
        return which == VolumeControlRow::volumeOfAlarm || which == VolumeControlRow::volumeOfTicking;
    }
    if (const auto* rows = std::get_if<std::vector<GeneralCell>>(&found->rows())) {
        return row < rows->size() && (*rows)[row].which == GeneralRow::focusReminder;
    }
    return true;
}

void OptionViewController::tableViewDidSelectRowAtIndexPath(UITableView&, const NSIndexPath& indexPath) {
    handleSelection(indexPath);
}

void OptionViewController::handleSelection(const NSIndexPath& indexPath) {
    const OptionSection* found = section(indexPath.section);
    if (!found || indexPath.row < 0) return;
    const auto row = static_cast<std::size_t>(indexPath.row);
    std::visit([&](const auto& rows) { if (row < rows.size()) select(rows[row]); }, found->rows());
}

void OptionViewController::select(const TimerLengthCell& row) {
    static constexpr TimerLengthSetting kSettings[] = {TimerLengthSetting::focus, TimerLengthSetting::shortBreak,
                                                       TimerLengthSetting::longBreak};
    showValuePicker(CarouselFunction::timer(kSettings[static_cast<int>(row.which)]));
}

void OptionViewController::select(const FocusSessionCell& row) {
    switch (row.which) {
        case FocusSessionRow::sessionsPerRound:
            return showValuePicker(CarouselFunction::focus(SessionSetting::sessionsPerRound));
        case FocusSessionRow::dailyFocusGoal: return showValuePicker(CarouselFunction::focus(SessionSetting::dailyGoal));
        case FocusSessionRow::autoResetRoundAndGoal: return performSegueWithIdentifier(SegueIdentifier::autoReset, {});
    }
}

void OptionViewController::select(const TickingSoundCell& row) {
    using Type = SoundOptionFunction::TickingSoundType;
    static constexpr Type kTypes[] = {Type::focus, Type::shortBreak, Type::longBreak};
    soundFunction_ = SoundOptionFunction::ticking(kTypes[static_cast<int>(row.which)]);
    performSegueWithIdentifier(SegueIdentifier::soundOptions, {});
}

void OptionViewController::select(const AlarmSoundCell& row) {
    using Type = SoundOptionFunction::AlarmSoundType;
    static constexpr Type kTypes[] = {Type::focus, Type::shortBreak, Type::longBreak};
    soundFunction_ = SoundOptionFunction::alarm(kTypes[static_cast<int>(row.which)]);
    performSegueWithIdentifier(SegueIdentifier::soundOptions, {});
}

void OptionViewController::select(const ThemeColorCell& row) {
    switch (row.which) {
        case ThemeColorRow::focusColor:
            return performSegueWithIdentifier(SegueIdentifier::colourPicker, ColourPickerFunction::focusColour);
        case ThemeColorRow::shortBreakColor:
            return performSegueWithIdentifier(SegueIdentifier::colourPicker, ColourPickerFunction::shortBreakColour);
        case ThemeColorRow::longBreakColor:
            return performSegueWithIdentifier(SegueIdentifier::colourPicker, ColourPickerFunction::longBreakColor);
        case ThemeColorRow::setOriginalTheme:
            return ZuvoAlertManager::showThemeResetAlert([weak = weakSelf()](bool agreed) {
                if (auto self = weak.lock()) self->applyDefaultTheme(agreed);
            });
    }
}

void OptionViewController::select(const VolumeControlCell& row) {
    switch (row.which) {
        case VolumeControlRow::volumeOfAlarm: return showVolumeSheet(VolumeControlType::alarm(row.value<float>()));
        case VolumeControlRow::volumeOfTicking: return showVolumeSheet(VolumeControlType::ticking(row.value<float>()));
        case VolumeControlRow::soundAlarmOn:
        case VolumeControlRow::soundTickingOn: return;
    }
}

void OptionViewController::select(const GeneralCell& row) {
    if (row.which != GeneralRow::focusReminder) return;
    if (auto navigation = navigationController()) navigation->pushViewController(ReminderSettingsController::loadFromNib(), true);
}

void OptionViewController::select(const FeedbackCell& row) {
    switch (row.which) {
        case FeedbackRow::emailUs: sendFeedbackMail(); break;
        case FeedbackRow::rateThisApp: ZuvoAlertManager::openAppStoreReviews(); break;
        case FeedbackRow::supportCenter: ZuvoAlertManager::openPrivacyPolicy(); break;
        case FeedbackRow::likeUsOnFacebook: ZuvoAlertManager::openFacebookPage(); break;
        case FeedbackRow::followUsOnTwitter: ZuvoAlertManager::openTwitterPage(); break;
        case FeedbackRow::followUsOnInstagram: ZuvoAlertManager::openInstagramPage(); break;
    }
    // A link opens outside the app, and the mail program or the alert that stands in for it comes
    // back through no screen of ours: nothing else deselects the row.
    deselectSelectedRow();
}

// A destination of another class, or a colour sender of another type, is handed nothing: the screen
// opens with its own defaults.
void OptionViewController::prepareForSegue(platform::UIStoryboardSegue& segue, const std::any& sender) {
    const auto& destination = segue.destinationViewController();
    if (segue.identifier() == SegueIdentifier::soundOptions) {
        if (auto list = std::dynamic_pointer_cast<SoundOptionsViewController>(destination)) list->setFunction(soundFunction_);
    } else if (segue.identifier() == SegueIdentifier::colourPicker) {
        auto picker = std::dynamic_pointer_cast<ColorPickerViewController>(destination);
        const auto* function = std::any_cast<ColourPickerFunction>(&sender);
        if (picker && function) picker->setColourPickerFunction(*function);
    }
}

void OptionViewController::onShowAlert() {
    showVolumeSheet(VolumeControlType::alarm(UserDataManager::getSoundSettingData().alarmVolume));
}

// What the rows open.

void OptionViewController::showValuePicker(const CarouselFunction& function) {
    auto picker = CarouselOptionsViewController::loadFromNib();
    if (!picker) return;
    picker->setFunction(function);
    picker->setup(true);
    picker->setModalPresentationStyle(platform::UIModalPresentationStyle::overFullScreen);
    std::weak_ptr<CarouselOptionsViewController> weakPicker = picker;
    presentViewController(picker, false, [weakPicker] {
        if (auto shown = weakPicker.lock()) shown->animateIn();
    });
    picker->setCompletionBlock([weak = weakSelf()](bool) {
        if (auto self = weak.lock()) self->rebuildOptions();
    });
    picker->setWillDismiss([weak = weakSelf()] {
        if (auto self = weak.lock()) self->refreshOptions();
    });
}

void OptionViewController::showVolumeSheet(const VolumeControlType& type) {
    auto sheet = VolumeAlertViewController::loadFromNib();
    if (!sheet) return;
    const auto tint = focusThemeColor();
    sheet->setTintColor(tint);
    sheet->view()->setTintColor(tint);
    const bool ticking = type.kind == VolumeControlType::Kind::ticking;
    sheet->show(*this, std::string("Volume of ") + (ticking ? "Ticking" : "Alarm"), type.value);
    sheet->setDidChangeValue([weak = weakSelf(), ticking](float value) {
        auto self = weak.lock();
        if (!self) return;
        if (ticking) return self->saveVolume(&UserDefaultProperties::tickingVolume, true, value);
        self->saveVolume(&UserDefaultProperties::alarmVolume, false, value);
    });
    sheet->setWillDismiss([weak = weakSelf()] {
        if (auto self = weak.lock()) self->refreshOptions();
    });
}

void OptionViewController::saveVolume(UserDefaultProperties (*volumeSetting)(float), bool isTicking, float value) {
    storeSettings({volumeSetting(value)});
    rebuildOptions();
    NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::volumeAdjusted(),
                                                               isTicking ? VolumeType::ticking : VolumeType::alert);
}

void OptionViewController::applyDefaultTheme(bool agreed) {
    if (!agreed) return;
    const auto& focus = defaultThemeColor(SessionType::focus);
    const auto& shortBreak = defaultThemeColor(SessionType::shortBreak);
    const auto& longBreak = defaultThemeColor(SessionType::longBreak);
    storeSettings({UserDefaultProperties::focusThemeColor(focus), UserDefaultProperties::shortBreakThemeColor(shortBreak),
                   UserDefaultProperties::longBreakThemeColor(longBreak),
                   UserDefaultProperties::sharedFocusThemeColor(focus),
                   UserDefaultProperties::sharedShortBreakThemeColor(shortBreak),
                   UserDefaultProperties::sharedLongBreakThemeColor(longBreak)});
    rebuildOptions();
    refreshOptions();
    reloadSection(kThemeColorSection);
}

// The feedback mail.

void OptionViewController::sendFeedbackMail() {
    if (!platform::MFMailComposeViewController::canSendMail()) return ZuvoAlertManager::showEmailUsAlert();
    auto composer = std::make_shared<platform::MFMailComposeViewController>();
    composer->setMailComposeDelegate(weakSelf());
    composer->setSubject("[Quorvel] Feedback");
    composer->setToRecipients({ZuvoAlertManager::kSupportAddress});
    composer->setMessageBody(feedbackMailBody(), false);
    presentViewController(composer, true);
}

std::string OptionViewController::feedbackMailBody() {
    std::string version;
    if (auto bundle = platform::NSBundle::mainBundle()) {
        const auto& info = bundle->infoDictionary();
        if (auto found = info.find("CFBundleShortVersionString"); found != info.end()) {
            if (const std::string* text = found->second.stringValue()) version = *text;
        }
    }
    const auto& device = platform::UIDevice::currentDevice();
    return "Quorvel, Version " + version + ", \niOS " + device.systemVersion() + ", Device " + device.localizedModel();
}

void OptionViewController::mailComposeController(platform::MFMailComposeViewController& controller,
                                                 platform::MFMailComposeResult, const std::shared_ptr<platform::NSError>&) {
    (void)controller;
    dismissViewControllerAnimated(true);
}

}  // namespace quorvel
