#include "platform/avfoundation/av_player_looper.h"

namespace platform {

std::shared_ptr<AVPlayerLooper> AVPlayerLooper::playerLooperWithPlayer(
    const std::shared_ptr<AVQueuePlayer>& player, const std::shared_ptr<AVPlayerItem>& templateItem) {
    auto looper = std::make_shared<AVPlayerLooper>(player);
    if (player) player->loopItem(templateItem);
    return looper;
}

void AVPlayerLooper::disableLooping() {
    if (!looping_) return;
    looping_ = false;
    if (auto player = player_.lock()) player->stopLooping();
}

}  // namespace platform
