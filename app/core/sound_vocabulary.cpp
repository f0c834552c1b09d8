#include "app/core/sound_vocabulary.h"

namespace quorvel {

namespace {

// In the order of the cases.
constexpr std::array<std::string_view, 16> kAlertRawValues{
    "None", "Desk",    "Ding",  "Chimes", "Bicycle", "Cymbals", "Bells",   "Slash",
    "News", "Whistle", "Steam", "Jingle", "Sweet",   "Beep",    "Wind Up", "Kitten",
};
constexpr std::array<std::string_view, 14> kTickingRawValues{
    "Music",    "None",  "Ticking",    "Wall Clock Ticking", "Tick Tock 1", "Tick Tock 2", "Fast Ticking",
    "Dripping", "Steam", "Cafe Noise", "Cafe Noise 2",       "Rain",        "Rain Light",  "Fiji Beach",
};

// By session type: focus, short break, long break.
constexpr std::array<std::string_view, 3> kTickingSettingTitles{
    "Focus Ticking", "Short Break Ticking", "Long Break Ticking"};

template <typename Enum, std::size_t N>
constexpr std::array<Enum, N> allCases() {
    std::array<Enum, N> cases{};
    for (std::size_t i = 0; i < N; ++i) cases[i] = static_cast<Enum>(i);
    return cases;
}

template <typename Enum, std::size_t N>
std::optional<Enum> fromRaw(const std::array<std::string_view, N>& rawValues, std::string_view raw) {
    for (std::size_t i = 0; i < N; ++i) {
        if (rawValues[i] == raw) return static_cast<Enum>(i);
    }
    return std::nullopt;
}

}  // namespace

// Filled at compile time, so tables that other files build while the program starts see them.
constinit const std::array<AlertSound, 16> kAllAlertSounds = allCases<AlertSound, 16>();
constinit const std::array<TickingSound, 14> kAllTickingSounds = allCases<TickingSound, 14>();

std::string_view rawValue(AlertSound sound) {
    return kAlertRawValues[static_cast<std::size_t>(sound)];
}

std::string_view rawValue(TickingSound sound) {
    return kTickingRawValues[static_cast<std::size_t>(sound)];
}

std::optional<AlertSound> alertSoundFromRawValue(std::string_view raw) {
    return fromRaw<AlertSound>(kAlertRawValues, raw);
}

std::optional<TickingSound> tickingSoundFromRawValue(std::string_view raw) {
    return fromRaw<TickingSound>(kTickingRawValues, raw);
}

std::string_view tickingSettingTitle(SoundOptionFunction::TickingSoundType type) {
    return kTickingSettingTitles[static_cast<std::size_t>(type)];
}

const char* SoundOptionFunction::resourceExtension() const {
    return std::holds_alternative<AlarmSoundType>(payload_) ? "wav" : "mp3";
}

}  // namespace quorvel
