#pragma once

#include <memory>
#include <vector>

#include "app/core/audio_player.h"
#include "platform/foundation/ns_notification_center.h"

namespace quorvel {

// Owns the app's audio session and the looping players, which it brings back after an interruption
// or a change of output device. One shared instance; main thread only.
class AudioManager : public std::enable_shared_from_this<AudioManager> {
public:
    static std::shared_ptr<AudioManager> shared();
    // Tests: drops the shared manager (stopping its players) so the next one starts afresh.
    static void resetSharedForTesting();
    ~AudioManager();

    // Registers a looping player once; a player that plays once is not kept.
    void add(const std::shared_ptr<AudioPlayer>& player);
    // Starts the player, or marks it to start as soon as its file has loaded.
    void play(const std::shared_ptr<AudioPlayer>& player);
    // Unregisters the player and stops it for good: it is detached and its completion runs.
    void remove(const std::shared_ptr<AudioPlayer>& player);

    const std::vector<std::shared_ptr<AudioPlayer>>& players() const { return players_; }
    bool setCategoryFailed() const { return setCategoryFailed_; }
    bool setActiveFailed() const { return setActiveFailed_; }

    void handleInterruption(const platform::NSNotification& notification);
    void handleRouteChangeWithNotification(const platform::NSNotification& notification);

private:
    AudioManager() = default;
    void setUp();
    // Each retried on the next play until it succeeds once.
    void setCategoryIfNeeded();
    void activateIfNeeded();
    static void detach(AudioPlayer& player);

    std::vector<std::shared_ptr<AudioPlayer>> players_;
    bool setCategoryFailed_ = true;
    bool setActiveFailed_ = true;
};

}  // namespace quorvel
