#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::soak {

// One thing a person does to the app, or that happens to it, written as a letter and a number so a
// walk fits on one command line ("t17,w300,k40"). The number picks among what the step can mean at
// the moment it runs (which control, how far, how long), so a walk is its steps alone.
struct WalkStep {
    enum class Kind : char {
        tap = 't',         // a visible, enabled control, cell or tap target; value picks which
        swipe = 's',       // a swipe on a scrolling or panning view; value picks which and where to
        turn = 'o',        // the device turned to orientation 1-6, as the shell's digit keys do
        split = 'p',       // a tablet's next split share, as the shell's S key does
        background = 'b',  // the window minimised
        foreground = 'f',  // the window restored
        resign = 'i',      // the window loses the focus
        activate = 'a',    // the window gets the focus back
        wait = 'w',        // time passes: value in tenths of a second
        waitForEnd = 'e',  // time passes until the session in front ends, and value tenths more
        quit = 'q',        // the window closed; the app starts again value seconds later
        kill = 'k',        // the process killed; the app starts again value seconds later
        setBack = 'c',     // the app closed, the clock set back value seconds, the app started again
        sync = 'y',        // a second installation stores value sessions and syncs through the shared folder
        music = 'm',       // a file of the music folder vanishes, comes back or is damaged; value picks
        setting = 'g',     // through the menu to the settings and the row value picks (or to another screen)
        play = 'h',        // back to the timer screen, and a tap on its start button when the timer stands
        nearEnd = 'n',     // time passes until value tenths of a second before the session in front ends
        overReset = 'j',   // time passes over the next daily reset moment and value tenths beyond it
        device = 'd',      // the window closed; the app starts again value / 1000 seconds later on the
                           // device, orientation and split share that value % 1000 picks
        backUp = 'u',      // the window closed, the store and the sync state copied aside; the app starts
                           // again value seconds later
        putBack = 'r',     // the window closed, what value % 3 picks (the store, the sync state or both)
                           // put back from the copy; the app starts again value / 3 seconds later
    };
    // What a put-back step takes from the copy.
    enum class Restored { store, syncState, both };
    Kind kind = Kind::wait;
    std::uint32_t value = 0;

    bool operator==(const WalkStep&) const = default;

    // Taps the screen: whatever lies under the finger answers, a question to reset the counters too.
    bool taps() const { return kind == Kind::tap || kind == Kind::play || kind == Kind::setting; }
    // Ends the life of the app's process (a new one starts from the files).
    bool endsLife() const {
        return kind == Kind::quit || kind == Kind::kill || kind == Kind::setBack || kind == Kind::device ||
               kind == Kind::backUp || kind == Kind::putBack;
    }
    Restored restored() const { return static_cast<Restored>(value % 3); }
    // The shell's options for the life a device step starts.
    std::vector<std::string> shellArguments() const;
    std::string text() const;
    static std::optional<WalkStep> parse(const std::string& text);
};

using Walk = std::vector<WalkStep>;

// "t17,w300,k40"; parsing refuses anything else, naming the bad step in `error`.
std::string walkText(const Walk& walk);
std::optional<Walk> parseWalk(const std::string& text, std::string* error = nullptr);

}  // namespace quorvel::soak
