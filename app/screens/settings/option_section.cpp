#include "app/screens/settings/option_section.h"

namespace quorvel {

const char* OptionSection::headerTitle(Kind kind) {
    switch (kind) {
        case Kind::timerLengthItems: return "TIMER LENGTH";
        case Kind::focusSessionItems: return "FOCUS SESSIONS";
        case Kind::tickingSoundItems: return "TICKING SOUND";
        case Kind::alarmSoundItems: return "ALARM SOUND";
        case Kind::themeColorItems: return "THEME COLOR";
        case Kind::volumeControlItems: return "VOLUME CONTROL";
        case Kind::generalItems: return "GENERAL";
        case Kind::feedbackItems: return "FEEDBACK";
    }
    return "";
}

}  // namespace quorvel
