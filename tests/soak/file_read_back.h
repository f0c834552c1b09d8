#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::soak {

// Reads back every file of the kinds the app writes under the given folders: each property list must
// parse, each SQLite database must open and pass SQLite's own check, and no file may have been set
// aside as damaged. Safe while the app runs: both kinds are replaced whole or written through SQLite.
class FileReadBack {
public:
    // One line for each file that fails, naming it and why; empty when all read back.
    static std::vector<std::string> problems(const std::vector<std::filesystem::path>& folders);
};

}  // namespace quorvel::soak
