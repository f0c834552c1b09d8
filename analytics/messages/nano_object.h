#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "analytics/messages/nano_message_base.h"
#include "analytics/messages/nano_number.h"

using NanoData = std::vector<uint8_t>;

// One value crossing the message layer's boundary: nothing (monostate), a number, a UTF-8 string,
// bytes or a message object. Array elements and flag values are of this type.
using NanoObject =
    std::variant<std::monostate, NanoNumber, std::string, NanoData, std::shared_ptr<NANOMessageBase>>;

// The class name logged when a value is of the wrong kind.
std::string NanoObjectClassName(const NanoObject& object);
