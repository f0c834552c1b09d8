#include "app/core/audio_manager.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/avfoundation/av_audio_session.h"
#include "platform/foundation/console.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/value.h"

namespace quorvel {

using platform::AVAudioSession;
using platform::Console;
using platform::NSNotificationCenter;

namespace {

struct SharedSlot {
    platform::Mutex mutex;
    std::shared_ptr<AudioManager> manager GUARDED_BY(mutex);
};

SharedSlot& slot() {
    static auto* s = new SharedSlot();  // never destroyed: the shared manager lives as long as the process
    return *s;
}

// An unsigned integer of the notification's user information; none when missing or of another kind.
std::optional<std::uint64_t> unsignedInfo(const platform::NSNotification& notification,
                                          const std::string& key) {
    const auto* info = notification.objectAs<platform::Value>();
    const auto* dictionary = info ? info->dictionaryValue() : nullptr;
    if (!dictionary) return std::nullopt;
    const auto found = dictionary->find(key);
    if (found == dictionary->end()) return std::nullopt;
    const auto kind = found->second.kind();
    if (kind != platform::Value::Kind::Int && kind != platform::Value::Kind::UInt) return std::nullopt;
    return found->second.uintValue();
}

}  // namespace

std::shared_ptr<AudioManager> AudioManager::shared() {
    auto& s = slot();
    platform::MutexLock lock(s.mutex);
    if (!s.manager) {
        s.manager = std::shared_ptr<AudioManager>(new AudioManager());
        s.manager->setUp();
    }
    return s.manager;
}

void AudioManager::resetSharedForTesting() {
    std::shared_ptr<AudioManager> gone;
    auto& s = slot();
    platform::MutexLock lock(s.mutex);
    std::swap(gone, s.manager);
}

void AudioManager::setUp() {
    setCategoryIfNeeded();
    activateIfNeeded();
    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(shared_from_this(), &AudioManager::handleInterruption,
                       platform::AVAudioSessionInterruptionNotification);
    center.addObserver(shared_from_this(), &AudioManager::handleRouteChangeWithNotification,
                       platform::AVAudioSessionRouteChangeNotification);
}

AudioManager::~AudioManager() {
    for (const auto& player : players_) {
        if (player->queuePlayer_) player->queuePlayer_->pause();
        player->status_ = AudioPlayer::Status::stop;
    }
    for (const auto& player : players_) detach(*player);
    players_.clear();
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

void AudioManager::add(const std::shared_ptr<AudioPlayer>& player) {
    if (!player || std::ranges::find(players_, player) != players_.end()) return;
    if (player->isLooping_) players_.push_back(player);
}

void AudioManager::play(const std::shared_ptr<AudioPlayer>& player) {
    setCategoryIfNeeded();
    activateIfNeeded();
    if (!player) return;
    if (!player->isLooping_ && player->playerLooper_) player->playerLooper_->disableLooping();
    if (player->queuePlayer_) player->queuePlayer_->play();
    player->status_ = AudioPlayer::Status::playing;
}

void AudioManager::remove(const std::shared_ptr<AudioPlayer>& player) {
    if (!player) return;
    std::erase(players_, player);
    detach(*player);
}

void AudioManager::detach(AudioPlayer& player) {
    if (player.queuePlayer_) player.queuePlayer_->pause();
    player.status_ = AudioPlayer::Status::stop;
    if (player.queuePlayer_) player.queuePlayer_->removeAllItems();
    if (player.playerLooper_) player.playerLooper_->disableLooping();
    player.playerLooper_ = nullptr;
    player.queuePlayer_ = nullptr;
    player.playSoundFile_ = nullptr;
    if (auto completion = std::exchange(player.completionHandler_, nullptr)) completion();
    player.status_ = AudioPlayer::Status::detached;
}

void AudioManager::setCategoryIfNeeded() {
    if (!setCategoryFailed_) return;
    std::shared_ptr<platform::NSError> error;
    if (AVAudioSession::sharedInstance()->setCategory(
            platform::AVAudioSessionCategoryPlayback, platform::AVAudioSessionModeDefault,
            platform::AVAudioSessionCategoryOptionInterruptSpokenAudioAndMixWithOthers, &error)) {
        setCategoryFailed_ = false;
    } else {
        Console::print(error ? error->localizedDescription() : "");
    }
}

void AudioManager::activateIfNeeded() {
    if (!setActiveFailed_) return;
    std::shared_ptr<platform::NSError> error;
    if (AVAudioSession::sharedInstance()->setActive(true, &error)) {
        setActiveFailed_ = false;
    } else {
        Console::print(error ? error->localizedDescription() : "");
    }
}

void AudioManager::handleInterruption(const platform::NSNotification& notification) {
    const auto type = unsignedInfo(notification, platform::AVAudioSessionInterruptionTypeKey);
    if (type == static_cast<std::uint64_t>(platform::AVAudioSessionInterruptionType::Ended)) {
        Console::print("Audio Resumed");
        for (const auto& player : players_) {
            if (player->status_ == AudioPlayer::Status::playing && player->queuePlayer_)
                player->queuePlayer_->play();
        }
    } else if (type == static_cast<std::uint64_t>(platform::AVAudioSessionInterruptionType::Began)) {
        // Every player keeps its status, so the ones playing now are the ones resumed at the end.
        Console::print("Audio Interrupted");
    }
}

void AudioManager::handleRouteChangeWithNotification(const platform::NSNotification& notification) {
    const auto reason = unsignedInfo(notification, platform::AVAudioSessionRouteChangeReasonKey);
    using Reason = platform::AVAudioSessionRouteChangeReason;
    if (reason != static_cast<std::uint64_t>(Reason::NewDeviceAvailable) &&
        reason != static_cast<std::uint64_t>(Reason::OldDeviceUnavailable)) {
        return;
    }
    for (const auto& player : players_) {
        if (player->queuePlayer_) player->queuePlayer_->play();
        player->status_ = AudioPlayer::Status::playing;
    }
}

}  // namespace quorvel
