#include "app/core/timer_audio.h"

#include "app/core/audio_manager.h"
#include "app/core/chosen_music_check.h"
#include "app/core/user_data_manager.h"
#include "platform/audiotoolbox/audio_services.h"
#include "platform/foundation/ns_bundle.h"

namespace quorvel {

namespace {

constexpr const char* kAlarmExtension = "wav";
constexpr const char* kTickingExtension = "mp3";
// A silent track that keeps the ticking slot playing while ticking is switched off.
constexpr const char* kSilentTrack = "None";

std::optional<std::filesystem::path> resource(const std::optional<std::string>& name, const char* extension) {
    if (!name) return std::nullopt;
    return platform::NSBundle::mainBundle()->URLForResource(*name, extension);
}

const std::optional<std::string>& alertSound(const SoundSettingData& sounds, SessionType type) {
    switch (type) {
        case SessionType::shortBreak:
            return sounds.shortBreakAlertSound;
        case SessionType::longBreak:
            return sounds.longBreakAlertSound;
        case SessionType::focus:
            break;
    }
    return sounds.focusAlertSound;
}

const std::optional<std::string>& tickingSound(const SoundSettingData& sounds, SessionType type) {
    switch (type) {
        case SessionType::shortBreak:
            return sounds.shortBreakTickingSound;
        case SessionType::longBreak:
            return sounds.longBreakTickingSound;
        case SessionType::focus:
            break;
    }
    return sounds.focusTickingSound;
}

const std::optional<std::string>& tickingMusic(const SoundSettingData& sounds, SessionType type) {
    switch (type) {
        case SessionType::shortBreak:
            return sounds.shortBreakTickingMusic;
        case SessionType::longBreak:
            return sounds.longBreakTickingMusic;
        case SessionType::focus:
            break;
    }
    return sounds.focusTickingMusic;
}

void setVolume(AudioPlayer& player, float volume) {
    player.setVolume(volume);
    if (player.queuePlayer()) player.queuePlayer()->setVolume(volume);
}

}  // namespace

TimerAudio::~TimerAudio() {
    replacePlayer(nullptr, Slot::ticking);
    replacePlayer(nullptr, Slot::alert);
}

void TimerAudio::prepareAlarmPlayer(SessionType type) {
    const auto sounds = UserDataManager::getSoundSettingData();
    replacePlayer(nullptr, Slot::alert);
    if (UserDataManager::getAppSettingData().vibrateAlarmEnabled) {
        platform::AudioServicesPlaySystemSound(platform::kSystemSoundID_Vibrate);
    }
    if (!sounds.alarmEnabled) return;
    const auto url = resource(alertSound(sounds, type), kAlarmExtension);
    if (!url) return;
    auto player = AudioPlayer::make(*url);
    setVolume(*player, sounds.alarmVolume);
    replacePlayer(std::move(player), Slot::alert);
}

void TimerAudio::prepareTickingPlayer(SessionType type) {
    const auto sounds = UserDataManager::getSoundSettingData();
    if (!sounds.tickingEnabled) {
        silenceTicking();
        return;
    }
    const auto& music = tickingMusic(sounds, type);
    if (music && !music->empty()) {
        tickingAudioURL_ = std::filesystem::path(*music);
        makeTickingPlayer(*tickingAudioURL_);
        // A song can stop playing after it was chosen (the file changed or went bad).
        tickingAudioPlayer_->setLoadFailureHandler([song = *music] { ChosenMusicCheck::refuseChosenSong(song); });
        return;
    }
    tickingAudioURL_ = resource(tickingSound(sounds, type), kTickingExtension);
    if (tickingAudioURL_) makeTickingPlayer(*tickingAudioURL_);
}

void TimerAudio::makeTickingPlayer(const std::filesystem::path& url) {
    auto player = AudioPlayer::make(url);
    player->setIsLooping(true);
    setVolume(*player, UserDataManager::getSoundSettingData().tickingVolume);
    replacePlayer(std::move(player), Slot::ticking);
}

void TimerAudio::silenceTicking() {
    if (const auto url = resource(std::string(kSilentTrack), kTickingExtension)) makeTickingPlayer(*url);
}

void TimerAudio::replacePlayer(std::shared_ptr<AudioPlayer> newPlayer, Slot slot) {
    auto& held = player(slot);
    if (held) AudioManager::shared()->remove(held);
    held = std::move(newPlayer);
    if (held) AudioManager::shared()->add(held);
}

void TimerAudio::play(Slot slot) {
    if (const auto& held = player(slot)) AudioManager::shared()->play(held);
}

void TimerAudio::applyStoredVolume(VolumeType type) {
    const auto sounds = UserDataManager::getSoundSettingData();
    if (type == VolumeType::ticking) {
        if (tickingAudioPlayer_) setVolume(*tickingAudioPlayer_, sounds.tickingVolume);
    } else if (alertAudioPlayer_) {
        setVolume(*alertAudioPlayer_, sounds.alarmVolume);
    }
}

}  // namespace quorvel
