#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// The alarm played when a session ends. The raw value is the stored setting, the name shown in the
// sound list and the base name of the ".wav" resource.
enum class AlertSound {
    none,
    desk,
    ding,
    chimes,
    bicycle,
    cymbals,
    bells,
    slash,
    news,
    whistle,
    steam,
    jingle,
    sweet,
    beep,
    windUp,
    kitten,
};

// The sound looped during a session; the raw value names the ".mp3" resource. `music` stands for a song
// chosen from the user's library.
enum class TickingSound {
    music,
    none,
    ticking,
    wallClockTicking,
    tickTock1,
    tickTock2,
    fastTicking,
    dripping,
    steam,
    cafeNoise,
    cafeNoise2,
    rain,
    rainLight,
    fijiBeach,
};

extern const std::array<AlertSound, 16> kAllAlertSounds;
extern const std::array<TickingSound, 14> kAllTickingSounds;

std::string_view rawValue(AlertSound sound);
std::string_view rawValue(TickingSound sound);
// Exact, case-sensitive: any other text is no sound.
std::optional<AlertSound> alertSoundFromRawValue(std::string_view raw);
std::optional<TickingSound> tickingSoundFromRawValue(std::string_view raw);

// Which sound list a sound screen edits, and for which session type.
class SoundOptionFunction {
public:
    enum class AlarmSoundType { focus, shortBreak, longBreak };
    enum class TickingSoundType { focus, shortBreak, longBreak };
    using Payload = std::variant<AlarmSoundType, TickingSoundType>;

    static SoundOptionFunction alarm(AlarmSoundType type) { return SoundOptionFunction(type); }
    static SoundOptionFunction ticking(TickingSoundType type) { return SoundOptionFunction(type); }

    const Payload& payload() const { return payload_; }
    // The extension of the list's resources for a bundle lookup: "wav" for alarms, "mp3" for ticking.
    const char* resourceExtension() const;

    bool operator==(const SoundOptionFunction&) const = default;

private:
    explicit SoundOptionFunction(Payload payload) : payload_(payload) {}
    Payload payload_;
};

// The title of the settings screen's row that chooses the ticking sound of that session type.
std::string_view tickingSettingTitle(SoundOptionFunction::TickingSoundType type);

// Which volume a volume control edits: "SoundVolumeAlarm" or "SoundVolumeTicking".
enum class VolumeType { alert, ticking };

// The display state of one option row; the badge colour's name keeps its stored spelling.
struct OptionModel {
    std::optional<bool> enable;
    std::optional<std::string> badgeString;
    std::shared_ptr<platform::UIColor> bdageColor;
};

}  // namespace quorvel
