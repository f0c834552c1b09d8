#include "app/core/chosen_music_check.h"

#include "app/core/app_notification_names.h"
#include "app/core/refused_song.h"
#include "app/core/sound_vocabulary.h"
#include "app/core/user_data_manager.h"
#include "platform/avfoundation/av_url_asset.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/mediaplayer/mp_media_query.h"

namespace quorvel {

namespace {

constexpr const char* kIdentifierMark = "id=";

// The text after the last "id=", or the whole reference without one.
std::string persistentIdentifierOf(const std::string& reference) {
    const auto mark = reference.rfind(kIdentifierMark);
    return mark == std::string::npos ? reference : reference.substr(mark + std::char_traits<char>::length(kIdentifierMark));
}

}  // namespace

std::vector<ChosenMusicCheck::MusicSelection> ChosenMusicCheck::storedSelections() {
    using P = UserDefaultProperties;
    const auto sound = UserDataManager::getSoundSettingData();
    return {
        {sound.focusTickingMusic.value_or(""),
         {P::focusTickingMusic(""), P::focusTickingMusicTitle(""), P::focusTickingSound("Ticking")}},
        {sound.shortBreakTickingMusic.value_or(""),
         {P::shortBreakTickingMusic(""), P::shortBreakTickingMusicTitle(""),
          P::shortBreakTickingSound("Wall Clock Ticking")}},
        {sound.longBreakTickingMusic.value_or(""),
         {P::longBreakTickingMusic(""), P::longBreakTickingMusicTitle(""), P::longBreakTickingSound("Fiji Beach")}},
    };
}

void ChosenMusicCheck::checkChosenMusic() {
    if (platform::MPMediaLibrary::authorizationStatus() == platform::MPMediaLibraryAuthorizationStatus::notDetermined)
        return;
    for (const auto& selection : storedSelections()) verifyMusicSelection(selection);
}

void ChosenMusicCheck::verifyMusicSelection(const MusicSelection& selection) {
    if (selection.musicPath.empty()) return;
    auto query = platform::MPMediaQuery::songsQuery();
    query->addFilterPredicate(platform::MPMediaPropertyPredicate::predicateWithValue(
        persistentIdentifierOf(selection.musicPath), platform::MPMediaItemPropertyPersistentID,
        platform::MPMediaPredicateComparison::contains));
    const auto items = query->items();
    if (!items || !items->empty()) return;
    restoreDefaults(selection);
}

void ChosenMusicCheck::refuseChosenSong(const std::string& musicPath) {
    const auto selections = storedSelections();
    RefusedSong refused{platform::localPathOfURL(musicPath).filename().string(), {}};
    for (std::size_t kind = 0; kind < selections.size(); ++kind) {
        if (selections[kind].musicPath != musicPath) continue;
        for (const auto& value : selections[kind].defaultProperties) UserDefaultProperties::save(value);
        refused.settingsRestored.push_back(static_cast<SoundOptionFunction::TickingSoundType>(kind));
    }
    if (refused.settingsRestored.empty()) return;
    synchronizeBothSuites();
    auto& center = platform::NSNotificationCenter::defaultCenter();
    center.postNotificationName(NotificationName::chosenSongRefused(), refused);
    for (const auto kind : refused.settingsRestored)
        center.postNotificationName(NotificationName::newTickingSoundSet(), kind);
}

void ChosenMusicCheck::restoreDefaults(const MusicSelection& selection) {
    for (const auto& value : selection.defaultProperties) UserDefaultProperties::save(value);
    synchronizeBothSuites();
}

void ChosenMusicCheck::synchronizeBothSuites() {
    UserDefaultProperties::standardDefaults()->synchronize();
    if (auto group = UserDefaultProperties::appGroupDefaults()) group->synchronize();
}

}  // namespace quorvel
