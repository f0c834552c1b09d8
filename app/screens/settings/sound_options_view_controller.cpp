#include "app/screens/settings/sound_options_view_controller.h"

#include <array>

#include "app/core/app_notification_names.h"
#include "app/core/audio_manager.h"
#include "app/core/dazaraze_analytics_manager.h"
#include "app/core/navigation_bar_style.h"
#include "app/core/user_data_manager.h"
#include "app/screens/settings/settings_writer.h"
#include "app/screens/settings/value_selection_cell.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "platform/avfoundation/av_url_asset.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/mediaplayer/mp_media_item_collection.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/mediaplayer/mp_media_picker_controller.h"
#include "platform/mediaplayer/mp_media_query.h"
#include "platform/promises/promise.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"

namespace quorvel {

using platform::NSIndexPath;
using P = UserDefaultProperties;

namespace {

using StoredText = std::optional<std::string> SoundSettingData::*;
using Setting = UserDefaultProperties (*)(UserDefaultProperties::OptionalString);

// By session type: focus, short break, long break.
constexpr std::array<StoredText, 3> kAlertSounds = {&SoundSettingData::focusAlertSound,
                                                    &SoundSettingData::shortBreakAlertSound,
                                                    &SoundSettingData::longBreakAlertSound};
constexpr std::array<StoredText, 3> kTickingSounds = {&SoundSettingData::focusTickingSound,
                                                      &SoundSettingData::shortBreakTickingSound,
                                                      &SoundSettingData::longBreakTickingSound};
constexpr std::array<StoredText, 3> kTickingMusic = {&SoundSettingData::focusTickingMusic,
                                                     &SoundSettingData::shortBreakTickingMusic,
                                                     &SoundSettingData::longBreakTickingMusic};
constexpr std::array<Setting, 3> kAlertSoundSettings = {&P::focusAlertSound, &P::shortBreakAlertSound,
                                                        &P::longBreakAlertSound};
constexpr std::array<Setting, 3> kTickingSoundSettings = {&P::focusTickingSound, &P::shortBreakTickingSound,
                                                          &P::longBreakTickingSound};
constexpr std::array<Setting, 3> kTickingMusicSettings = {&P::focusTickingMusic, &P::shortBreakTickingMusic,
                                                          &P::longBreakTickingMusic};
constexpr std::array<Setting, 3> kTickingTitleSettings = {&P::focusTickingMusicTitle, &P::shortBreakTickingMusicTitle,
                                                          &P::longBreakTickingMusicTitle};
constexpr std::array<const char*, 3> kAlarmTitles = {"Focus Alarm", "Break Alarm", "Long Break Alarm"};
constexpr std::array<const char*, 3> kTickingTitles = {"Focus Ticking", "Break Ticking", "Long Break Ticking"};

constexpr const char* kNoSound = "None";
constexpr const char* kMusicRow = "Music";
constexpr const char* kPickerPrompt = "Select a song to play";

// The name of a row of the list; none outside it.
std::optional<std::string> rowName(const std::vector<std::string>& rows, const NSIndexPath& indexPath) {
    if (indexPath.section != 0 || indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= rows.size())
        return std::nullopt;
    return rows[static_cast<std::size_t>(indexPath.row)];
}

}  // namespace

SoundOptionsViewController::SoundOptionsViewController() = default;

SoundOptionsViewController::~SoundOptionsViewController() {
    platform::NSNotificationCenter::defaultCenter().removeObserver(this);
    if (previewStop_) previewStop_->invalidate();
}

std::shared_ptr<SoundOptionsViewController> SoundOptionsViewController::self() {
    return std::static_pointer_cast<SoundOptionsViewController>(shared_from_this());
}

bool SoundOptionsViewController::isTickingList() const {
    return std::holds_alternative<SoundOptionFunction::TickingSoundType>(function_.payload());
}

std::size_t SoundOptionsViewController::sessionIndex() const {
    return std::visit([](auto type) { return static_cast<std::size_t>(type); }, function_.payload());
}

SoundOptionsViewController::TickingChoice SoundOptionsViewController::storedTickingChoice() const {
    const SoundSettingData sounds = UserDataManager::getSoundSettingData();
    return {sounds.*kTickingSounds[sessionIndex()], sounds.*kTickingMusic[sessionIndex()]};
}

void SoundOptionsViewController::viewDidLoad() {
    UITableViewController::viewDidLoad();
    // The prototype cell of the list.
    if (auto table = tableView()) table->registerClass<ValueSelectionCell>(kCellIdentifier);
    shownTickingChoice_ = storedTickingChoice();
    // A refused song gave way to the default sound while this list may mark it.
    platform::NSNotificationCenter::defaultCenter().addObserver(
        this, NotificationName::chosenSongRefused(),
        [weak = std::weak_ptr<SoundOptionsViewController>(self())](const platform::NSNotification&) {
            if (const auto list = weak.lock()) list->markStoredChoiceAgain();
        });
    loadViewData();
    updateTitle();
    if (auto navigation = navigationController()) styleNavigationBar(false, navigation->navigationBar());
}

void SoundOptionsViewController::loadViewData() {
    viewData_.clear();
    if (isTickingList()) {
        for (const TickingSound sound : kAllTickingSounds) viewData_.emplace_back(rawValue(sound));
    } else {
        for (const AlertSound sound : kAllAlertSounds) viewData_.emplace_back(rawValue(sound));
    }
    auto table = tableView();
    if (!table) return;
    table->setDelegate(self());
    table->setDataSource(self());
    table->setTableFooterView(std::make_shared<platform::UIView>());
}

void SoundOptionsViewController::updateTitle() {
    setTitle((isTickingList() ? kTickingTitles : kAlarmTitles)[sessionIndex()]);
}

long SoundOptionsViewController::numberOfSectionsInTableView(platform::UITableView&) {
    return 1;
}

long SoundOptionsViewController::tableViewNumberOfRowsInSection(platform::UITableView&, long) {
    return static_cast<long>(viewData_.size());
}

std::shared_ptr<platform::UITableViewCell> SoundOptionsViewController::tableViewCellForRowAtIndexPath(
    platform::UITableView& tableView, const NSIndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<ValueSelectionCell>(
        tableView.dequeueReusableCellWithIdentifier(kCellIdentifier, indexPath));
    const auto name = rowName(viewData_, indexPath);
    if (!cell || !name) return cell;
    cell->configureSound(*name, isTickingList() ? 2 : 1, function_, indexPath);
    markSelectedRow(*cell, indexPath);
    return cell;
}

void SoundOptionsViewController::markSelectedRow(ValueSelectionCell& cell, const NSIndexPath& indexPath) {
    const SoundSettingData sounds = UserDataManager::getSoundSettingData();
    const std::size_t type = sessionIndex();
    bool marked = false;
    if (isTickingList()) {
        const auto& music = sounds.*kTickingMusic[type];
        const auto& sound = sounds.*kTickingSounds[type];
        marked = (indexPath.row == 0 && (!music || !music->empty())) ||
                 (sound && !sound->empty() && *sound == cell.stringUpdateValue());
    } else {
        const auto& sound = sounds.*kAlertSounds[type];
        if (!sound) return;
        marked = (indexPath.row == 0 && sound->empty()) || cell.stringUpdateValue() == *sound;
    }
    if (!marked) return;
    if (!initialAudioFileName_) initialAudioFileName_ = rowName(viewData_, indexPath);
    if (auto table = tableView()) table->selectRowAtIndexPath(indexPath, false, platform::UITableViewScrollPosition::none);
}

void SoundOptionsViewController::tableViewDidSelectRowAtIndexPath(platform::UITableView&, const NSIndexPath& indexPath) {
    const auto name = rowName(viewData_, indexPath);
    if (!name) return;
    if (indexPath.row != 0) {
        saveSound(*name);
        selectedAudioFileName_ = name;
        if (*name == kNoSound) {
            stopAudioPlayer();
        } else {
            previewSound(indexPath, std::nullopt);
        }
        return;
    }
    stopAudioPlayer();
    if (isTickingList()) {
        openMusicRow();
    } else {
        saveSound("");
    }
}

// Access first, then the picker; both answers come back on the main queue.
void SoundOptionsViewController::openMusicRow() {
    std::weak_ptr<SoundOptionsViewController> weak = self();
    const auto main = platform::DispatchQueue::main();
    platform::Promise<bool>(main, [weak](auto fulfill, auto) {
        if (auto self = weak.lock()) self->requestMediaLibraryAccess(fulfill);
    }).then(main, [weak](bool granted) {
        auto self = weak.lock();
        if (!self) return;
        if (granted) {
            self->presentMediaPicker();
        } else {
            self->markStoredChoiceAgain();
            ZuvoAlertManager::showMediaLibraryEmptyAlert();
        }
    });
}

void SoundOptionsViewController::saveSound(const std::string& name) {
    const std::size_t type = sessionIndex();
    if (isTickingList()) {
        storeSettings({kTickingMusicSettings[type](""), kTickingTitleSettings[type](""), kTickingSoundSettings[type](name)});
    } else {
        storeSettings({kAlertSoundSettings[type](name)});
    }
    DazarazeAnalyticsManager::logValueSelect();
    if (auto table = tableView()) {
        table->reloadRowsAtIndexPaths({NSIndexPath::indexPathForRow(0, 0)}, platform::UITableViewRowAnimation::none);
    }
}

void SoundOptionsViewController::previewSound(const std::optional<NSIndexPath>& indexPath,
                                              const std::optional<std::string>& songURL) {
    std::optional<std::filesystem::path> url;
    bool looping = true;
    if (indexPath) {
        if (const auto name = rowName(viewData_, *indexPath)) {
            url = platform::NSBundle::mainBundle()->URLForResource(*name, function_.resourceExtension());
        }
        looping = isTickingList();
    } else if (songURL) {
        url = *songURL;
    }
    if (!url) return;
    auto player = AudioPlayer::make(*url);
    player->setIsLooping(looping);
    AudioManager::shared()->play(player);
    replacePreviewPlayer(player);

    if (previewStop_) previewStop_->invalidate();
    std::weak_ptr<SoundOptionsViewController> weak = self();
    previewStop_ = platform::NSTimer::scheduledTimerWithTimeInterval(kPreviewSeconds, false, [weak](platform::NSTimer&) {
        if (auto self = weak.lock()) self->stopAudioPlayer();
    });
}

void SoundOptionsViewController::stopAudioPlayer() {
    replacePreviewPlayer(nullptr);
}

void SoundOptionsViewController::replacePreviewPlayer(std::shared_ptr<AudioPlayer> player) {
    const auto manager = AudioManager::shared();
    if (previewAudioPlayer_) manager->remove(previewAudioPlayer_);
    previewAudioPlayer_ = std::move(player);
    if (previewAudioPlayer_) manager->add(previewAudioPlayer_);
}

void SoundOptionsViewController::requestMediaLibraryAccess(std::function<void(bool granted)> answer) {
    using Status = platform::MPMediaLibraryAuthorizationStatus;
    if (platform::MPMediaLibrary::authorizationStatus() == Status::authorized) {
        answer(true);
        return;
    }
    platform::MPMediaLibrary::requestAuthorization([answer = std::move(answer)](Status status) {
        answer(status == Status::authorized || status == Status::restricted);
    });
}

void SoundOptionsViewController::presentMediaPicker() {
    auto query = platform::MPMediaQuery::songsQuery();
    query->addFilterPredicate(
        platform::MPMediaPropertyPredicate::predicateWithValue("0", platform::MPMediaItemPropertyIsCloudItem));
    query->addFilterPredicate(
        platform::MPMediaPropertyPredicate::predicateWithValue("0", platform::MPMediaItemPropertyHasProtectedAsset));
    const auto songs = query->items();
    if (!songs || songs->empty()) {
        markStoredChoiceAgain();
        ZuvoAlertManager::showMediaLibraryEmptyAlert();
        return;
    }
    auto picker = std::make_shared<platform::MPMediaPickerController>(platform::MPMediaType::music);
    picker->setDelegate(self());
    picker->setPrompt(kPickerPrompt);
    picker->setShowsCloudItems(false);
    picker->setShowsItemsWithProtectedAssets(false);
    presentViewController(picker, true);
}

void SoundOptionsViewController::mediaPicker(platform::MPMediaPickerController& mediaPicker,
                                             const platform::MPMediaItemCollection& mediaItemCollection) {
    mediaPicker.dismissViewControllerAnimated(true);
    const auto& items = mediaItemCollection.items();
    const auto item = items.empty() ? nullptr : items.front();
    if (!item || item->assetURL().empty() || item->title().empty()) {
        markStoredChoiceAgain();
        ZuvoAlertManager::showEmptyMusicAlert();
        return;
    }
    const std::string url = item->assetURL();
    platform::Console::print("Selected Music Item == " + item->title() + "\nSelected URL == " + url);
    if (!isTickingList()) return;
    // Chosen only once it is known to play; until then the list marks what was chosen before.
    markStoredChoiceAgain();
    auto asset = platform::AVURLAsset::URLAssetWithURL(url);
    std::weak_ptr<SoundOptionsViewController> weak = self();
    asset->loadValuesAsynchronouslyForKeys({"playable"}, [weak, asset, url, title = item->title()] {
        platform::DispatchQueue::main()->async([weak, asset, url, title] {
            const auto self = weak.lock();
            if (!self) return;
            if (asset->isPlayable()) {
                self->chooseSong(url, title);
                return;
            }
            ZuvoAlertManager::showRefusedSongAlert(platform::localPathOfURL(url).filename().string());
        });
    });
}

void SoundOptionsViewController::chooseSong(const std::string& url, const std::string& title) {
    const std::size_t type = sessionIndex();
    storeSettings({kTickingMusicSettings[type](url), kTickingTitleSettings[type](title),
                   kTickingSoundSettings[type]("")});
    previewSound(std::nullopt, url);
    selectedAudioFileName_ = kMusicRow;
    DazarazeAnalyticsManager::logValueSelect();
    if (auto table = tableView()) table->reloadData();
}

void SoundOptionsViewController::mediaPickerDidCancel(platform::MPMediaPickerController& mediaPicker) {
    mediaPicker.dismissViewControllerAnimated(true);
    markStoredChoiceAgain();
}

// The stored choice marked again: the tap on "Music" selected its row but picked no song, or a refused
// song gave way to the default sound.
void SoundOptionsViewController::markStoredChoiceAgain() {
    if (auto table = tableView()) table->reloadData();
}

void SoundOptionsViewController::viewWillDisappear(bool animated) {
    UITableViewController::viewWillDisappear(animated);
    stopAudioPlayer();
    if (!isTickingList() || !selectedAudioFileName_ || storedTickingChoice() == shownTickingChoice_) return;
    const auto type = std::get<SoundOptionFunction::TickingSoundType>(function_.payload());
    platform::DispatchQueue::main()->async([type] {
        platform::NSNotificationCenter::defaultCenter().postNotificationName(NotificationName::newTickingSoundSet(),
                                                                            type);
    });
}

}  // namespace quorvel
