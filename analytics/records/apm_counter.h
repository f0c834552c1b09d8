#pragma once

#include <cstdint>

namespace analytics {

// Adds 1 to a stored counter. Past the largest 32-bit value it starts again at 0, which the monitor hears
// with `code` and `message`.
void APMIncrementCounter(std::int32_t& counter, std::int64_t code, const char* message);

}  // namespace analytics
