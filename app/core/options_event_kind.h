#pragma once

#include <string>

namespace quorvel {

// A settings change the app reports: one of eight switches turned on or off, or a theme colour set.
class OptionsEventKind {
public:
    enum class Case {
        resetCounter,
        preventLockScreen,
        autoRestart,
        vibrateAlarm,
        soundAlarmEnabled,
        tickingSoundEnabled,
        showBadge,
        resetColours,
        colourSet,
    };

    static OptionsEventKind resetCounter(bool on) { return OptionsEventKind(Case::resetCounter, on); }
    static OptionsEventKind preventLockScreen(bool on) { return OptionsEventKind(Case::preventLockScreen, on); }
    static OptionsEventKind autoRestart(bool on) { return OptionsEventKind(Case::autoRestart, on); }
    static OptionsEventKind vibrateAlarm(bool on) { return OptionsEventKind(Case::vibrateAlarm, on); }
    static OptionsEventKind soundAlarmEnabled(bool on) { return OptionsEventKind(Case::soundAlarmEnabled, on); }
    static OptionsEventKind tickingSoundEnabled(bool on) { return OptionsEventKind(Case::tickingSoundEnabled, on); }
    static OptionsEventKind showBadge(bool on) { return OptionsEventKind(Case::showBadge, on); }
    static OptionsEventKind resetColours(bool on) { return OptionsEventKind(Case::resetColours, on); }
    static OptionsEventKind colourSet(std::string name) { return OptionsEventKind(Case::colourSet, false, std::move(name)); }

    Case kind() const { return kind_; }
    // The switch's new state; unused for a colour.
    bool isOn() const { return on_; }
    // The colour's name; empty for a switch.
    const std::string& name() const { return name_; }

private:
    OptionsEventKind(Case kind, bool on, std::string name = {}) : kind_(kind), on_(on), name_(std::move(name)) {}

    Case kind_;
    bool on_;
    std::string name_;
};

}  // namespace quorvel
