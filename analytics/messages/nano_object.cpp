#include "analytics/messages/nano_object.h"

std::string NanoObjectClassName(const NanoObject& object) {
    if (std::holds_alternative<NanoNumber>(object)) return "NanoNumber";
    if (std::holds_alternative<std::string>(object)) return "String";
    if (std::holds_alternative<NanoData>(object)) return "Data";
    if (const auto* message = std::get_if<std::shared_ptr<NANOMessageBase>>(&object); message && *message) {
        return std::string("APMPB") + (*message)->messageID();
    }
    return "nil";
}
