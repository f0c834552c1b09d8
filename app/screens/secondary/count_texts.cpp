#include "app/screens/secondary/count_texts.h"

namespace quorvel {

namespace {

std::string counted(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string minutesText(std::int64_t count) {
    return counted(count, "Minute", "Minutes");
}

std::string durationText(std::int64_t minutes) {
    if (minutes < 60) return minutesText(minutes);
    if (minutes == 60) return "1 Hour";
    if (minutes < 120) return "1 Hour " + minutesText(minutes % 60);
    const auto rest = minutes % 60;
    return std::to_string(minutes / 60) + " Hours " + (rest == 0 ? "" : minutesText(rest));
}

std::string sessionCountText(std::int64_t count) {
    return counted(count, "Session", "Sessions");
}

}  // namespace quorvel
