#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/avfoundation/av_player_item.h"
#include "platform/avfoundation/av_player_looper.h"
#include "platform/avfoundation/av_queue_player.h"

namespace quorvel {

// Plays one sound file, once (an alarm, a preview) or in an endless loop (the ticking). The file is
// loaded as soon as the player is made; AudioManager plays and removes it. Main thread only.
class AudioPlayer : public std::enable_shared_from_this<AudioPlayer> {
public:
    enum class Status { ready, playing, pause, stop, detached };

    // Made from a file's URL; loading starts at once.
    static std::shared_ptr<AudioPlayer> make(const std::filesystem::path& url);
    ~AudioPlayer();

    const std::shared_ptr<platform::AVQueuePlayer>& queuePlayer() const { return queuePlayer_; }
    const std::shared_ptr<platform::AVPlayerLooper>& playerLooper() const { return playerLooper_; }
    const std::shared_ptr<platform::AVPlayerItem>& playSoundFile() const { return playSoundFile_; }
    Status status() const { return status_; }

    // Set right after making the player, before its file has loaded.
    bool isLooping() const { return isLooping_; }
    void setIsLooping(bool looping) { isLooping_ = looping; }
    // Called once when the player is removed.
    const std::function<void()>& completionHandler() const { return completionHandler_; }
    void setCompletionHandler(std::function<void()> handler) { completionHandler_ = std::move(handler); }
    // Called on the main queue when the file turns out not to play (it then never sounds).
    void setLoadFailureHandler(std::function<void()> handler) { loadFailureHandler_ = std::move(handler); }
    // The volume the queue player gets when it is made; a caller changing the volume of a playing
    // player sets the queue player's too.
    float volume() const { return volume_; }
    void setVolume(float volume) { volume_ = volume; }

private:
    friend class AudioManager;

    AudioPlayer() = default;
    void load(const std::filesystem::path& url);
    // On the main queue once the file has loaded: the queue player, looping or with the one item.
    void setUpQueuePlayer();

    std::shared_ptr<platform::AVQueuePlayer> queuePlayer_;
    std::shared_ptr<platform::AVPlayerLooper> playerLooper_;
    std::shared_ptr<platform::AVPlayerItem> playSoundFile_;
    Status status_ = Status::ready;
    bool isLooping_ = false;
    std::function<void()> completionHandler_;
    std::function<void()> loadFailureHandler_;
    float volume_ = 1.0f;
};

}  // namespace quorvel
