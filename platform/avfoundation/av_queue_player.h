#pragma once

#include <memory>
#include <vector>

#include "platform/avfoundation/av_player_item.h"

namespace platform {

class AudioChannel;

// Plays its items one after another through the output device; an item plays once its asset has
// loaded. Main thread only. Releasing the player silences it.
class AVQueuePlayer : public std::enable_shared_from_this<AVQueuePlayer> {
public:
    static std::shared_ptr<AVQueuePlayer> queuePlayerWithItems(
        const std::vector<std::shared_ptr<AVPlayerItem>>& items = {});
    ~AVQueuePlayer();

    float volume() const { return volume_; }
    void setVolume(float volume);
    // 1 after play(), 0 after pause().
    float rate() const { return rate_; }

    void play();
    void pause();
    void removeAllItems();
    // Inserts after `afterItem`, or at the end when it is null. An item already queued, or an
    // `afterItem` that is not, leaves the queue as it is.
    void insertItem(const std::shared_ptr<AVPlayerItem>& item,
                    const std::shared_ptr<AVPlayerItem>& afterItem);

    const std::vector<std::shared_ptr<AVPlayerItem>>& items() const { return items_; }
    std::shared_ptr<AVPlayerItem> currentItem() const { return items_.empty() ? nullptr : items_.front(); }

    // Sound of the current item is coming out of the device now.
    bool isSounding() const;

private:
    friend class AVPlayerLooper;

    // The looper's part: the queue holds the one item, played over and over until looping stops.
    void loopItem(const std::shared_ptr<AVPlayerItem>& item);
    void stopLooping();

    void startCurrentItem();
    void currentItemFinished();
    void silence();

    std::vector<std::shared_ptr<AVPlayerItem>> items_;
    float volume_ = 1.0f;
    float rate_ = 0.0f;
    bool looping_ = false;
    std::shared_ptr<AudioChannel> channel_;
};

}  // namespace platform
