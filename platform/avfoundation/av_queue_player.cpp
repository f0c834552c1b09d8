#include "platform/avfoundation/av_queue_player.h"

#include <algorithm>

#include "platform/avfoundation/audio_channel.h"
#include "platform/avfoundation/audio_output.h"

namespace platform {

std::shared_ptr<AVQueuePlayer> AVQueuePlayer::queuePlayerWithItems(
    const std::vector<std::shared_ptr<AVPlayerItem>>& items) {
    auto player = std::make_shared<AVQueuePlayer>();
    for (const auto& item : items) player->insertItem(item, nullptr);
    return player;
}

AVQueuePlayer::~AVQueuePlayer() {
    silence();
}

void AVQueuePlayer::setVolume(float volume) {
    volume_ = volume;
    if (channel_) channel_->setVolume(volume);
}

void AVQueuePlayer::play() {
    rate_ = 1.0f;
    if (channel_) {
        channel_->resume();
    } else {
        startCurrentItem();
    }
}

void AVQueuePlayer::pause() {
    rate_ = 0.0f;
    if (channel_) channel_->pause();
}

void AVQueuePlayer::removeAllItems() {
    silence();
    items_.clear();
    looping_ = false;
}

void AVQueuePlayer::insertItem(const std::shared_ptr<AVPlayerItem>& item,
                               const std::shared_ptr<AVPlayerItem>& afterItem) {
    if (!item || std::ranges::find(items_, item) != items_.end()) return;
    auto position = items_.end();
    if (afterItem) {
        position = std::ranges::find(items_, afterItem);
        if (position == items_.end()) return;
        ++position;
    }
    const bool wasEmpty = items_.empty();
    items_.insert(position, item);
    if (wasEmpty) startCurrentItem();
}

bool AVQueuePlayer::isSounding() const {
    return channel_ && channel_->isSounding();
}

void AVQueuePlayer::loopItem(const std::shared_ptr<AVPlayerItem>& item) {
    removeAllItems();
    if (!item) return;
    looping_ = true;
    items_.push_back(item);
    startCurrentItem();
}

void AVQueuePlayer::stopLooping() {
    looping_ = false;
    if (channel_) channel_->stopLoopingAfterThisPass();
}

void AVQueuePlayer::startCurrentItem() {
    if (rate_ == 0.0f || channel_ || items_.empty()) return;
    const auto& asset = items_.front()->asset();
    if (!asset->isPlayable()) return;
    std::weak_ptr<AVQueuePlayer> weak = weak_from_this();
    channel_ = AudioOutput::shared().playFile(localPathOfURL(asset->URL()), looping_, volume_, [weak] {
        if (auto player = weak.lock()) player->currentItemFinished();
    });
}

// On the main queue, after the device played the current item to its end.
void AVQueuePlayer::currentItemFinished() {
    channel_ = nullptr;
    if (!items_.empty()) items_.erase(items_.begin());
    startCurrentItem();
}

void AVQueuePlayer::silence() {
    if (channel_) channel_->stop();
    channel_ = nullptr;
}

}  // namespace platform
