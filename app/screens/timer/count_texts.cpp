#include "app/screens/timer/count_texts.h"

namespace quorvel {

namespace {

std::string counted(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string minutesText(long minutes) {
    return counted(minutes, "Minute", "Minutes");
}

std::string durationText(long minutes) {
    if (minutes < 60) return minutesText(minutes);
    if (minutes == 60) return "1 Hour";
    const long rest = minutes % 60;
    if (minutes < 120) return "1 Hour " + minutesText(rest);
    return std::to_string(minutes / 60) + " Hours " + (rest == 0 ? "" : minutesText(rest));
}

std::string sessionCountText(long sessions) {
    return counted(sessions, "Session", "Sessions");
}

}  // namespace quorvel
