#pragma once

#include <filesystem>
#include <optional>

namespace quorvel::bench {

// The session store of the current data root, made with the program's own schema and filled with
// `count` sessions of 25 minutes, one every `spacing` seconds up to now, by plain SQL: a million
// sessions take seconds where saving them as objects would take minutes. Its path, or none.
std::optional<std::filesystem::path> writeSessionStore(int count, double spacing = 600.0);

}  // namespace quorvel::bench
