#include "app/core/audio_player.h"

#include "app/core/audio_manager.h"
#include "platform/avfoundation/av_url_asset.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"

namespace quorvel {

using platform::AVKeyValueStatus;
using platform::Console;

std::shared_ptr<AudioPlayer> AudioPlayer::make(const std::filesystem::path& url) {
    std::shared_ptr<AudioPlayer> player(new AudioPlayer());
    player->load(url);
    return player;
}

AudioPlayer::~AudioPlayer() {
    Console::print("deinit AudioPlayer");
}

void AudioPlayer::load(const std::filesystem::path& url) {
    status_ = Status::stop;
    auto asset = platform::AVURLAsset::URLAssetWithURL(url);
    playSoundFile_ = platform::AVPlayerItem::playerItemWithAsset(asset);
    std::weak_ptr<AudioPlayer> weak = weak_from_this();
    asset->loadValuesAsynchronouslyForKeys({"playable"}, [weak] {
        platform::DispatchQueue::main()->async([weak] {
            const auto player = weak.lock();
            if (!player || !player->playSoundFile_) {
                Console::print("Loading cancelled");
                return;
            }
            switch (player->playSoundFile_->asset()->statusOfValueForKey("playable")) {
                case AVKeyValueStatus::Loaded:
                    Console::print("Sucessfully loaded, continue processing");
                    player->setUpQueuePlayer();
                    break;
                case AVKeyValueStatus::Failed:
                    Console::print("Examine NSError pointer to determine failure");
                    if (const auto failed = std::move(player->loadFailureHandler_)) failed();
                    break;
                case AVKeyValueStatus::Cancelled:
                    Console::print("Loading cancelled");
                    break;
                default:
                    Console::print("Handle all other cases");
                    break;
            }
        });
    });
}

void AudioPlayer::setUpQueuePlayer() {
    queuePlayer_ = platform::AVQueuePlayer::queuePlayerWithItems();
    queuePlayer_->setVolume(volume_);
    if (isLooping_) {
        playerLooper_ = platform::AVPlayerLooper::playerLooperWithPlayer(queuePlayer_, playSoundFile_);
    } else {
        queuePlayer_->insertItem(playSoundFile_, nullptr);
    }
    // Played while it was loading: it starts now.
    if (status_ == Status::playing) AudioManager::shared()->play(shared_from_this());
}

}  // namespace quorvel
