#pragma once

#include <memory>

#include "platform/avfoundation/av_player_item.h"
#include "platform/avfoundation/av_queue_player.h"

namespace platform {

// Keeps a queue player playing one item over and over, seamlessly. Main thread only.
class AVPlayerLooper {
public:
    static std::shared_ptr<AVPlayerLooper> playerLooperWithPlayer(
        const std::shared_ptr<AVQueuePlayer>& player, const std::shared_ptr<AVPlayerItem>& templateItem);

    explicit AVPlayerLooper(std::weak_ptr<AVQueuePlayer> player) : player_(std::move(player)) {}

    // The pass now playing is the last; the item then leaves the queue.
    void disableLooping();
    bool isLooping() const { return looping_; }

private:
    std::weak_ptr<AVQueuePlayer> player_;
    bool looping_ = true;
};

}  // namespace platform
