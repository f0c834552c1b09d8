#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "app/core/audio_player.h"
#include "app/core/sound_vocabulary.h"
#include "app/core/timer_vocabulary.h"

namespace quorvel {

// The timer's two sounds: the ticking loop of the running session and the alarm at its end. Each
// slot holds at most one player, registered with AudioManager while it is there. The settings are
// read afresh every time. Main thread only.
class TimerAudio {
public:
    enum class Slot { ticking, alert };

    TimerAudio() = default;
    TimerAudio(const TimerAudio&) = delete;
    TimerAudio& operator=(const TimerAudio&) = delete;
    ~TimerAudio();

    const std::optional<std::filesystem::path>& tickingAudioURL() const { return tickingAudioURL_; }
    const std::shared_ptr<AudioPlayer>& tickingAudioPlayer() const { return tickingAudioPlayer_; }
    const std::shared_ptr<AudioPlayer>& alertAudioPlayer() const { return alertAudioPlayer_; }

    // Vibrates when set to, then loads the type's alarm into the alert slot when the alarm is on and
    // its sound exists; otherwise the slot stays empty.
    void prepareAlarmPlayer(SessionType type);
    // The chosen song of the type, else its ticking sound; a silent loop when ticking is off.
    void prepareTickingPlayer(SessionType type);
    void makeTickingPlayer(const std::filesystem::path& url);
    void silenceTicking();
    // The slot's player is stopped and unregistered; the new one (or none) takes its place.
    void replacePlayer(std::shared_ptr<AudioPlayer> player, Slot slot);

    // Plays the slot's player, if there is one.
    void play(Slot slot);
    // The stored volume of that kind for the player of its slot, if there is one.
    void applyStoredVolume(VolumeType type);

private:
    std::shared_ptr<AudioPlayer>& player(Slot slot) {
        return slot == Slot::ticking ? tickingAudioPlayer_ : alertAudioPlayer_;
    }

    std::optional<std::filesystem::path> tickingAudioURL_;
    std::shared_ptr<AudioPlayer> tickingAudioPlayer_;
    std::shared_ptr<AudioPlayer> alertAudioPlayer_;
};

}  // namespace quorvel
