#pragma once

#include <filesystem>
#include <string>

namespace platform {

// A stored file that cannot be read is moved aside as "<file>.damaged-<unix time>" (".1", ".2", …
// when that name is taken), so it can be looked at later and the store starts afresh. The console
// says what happened: "<what> <file> is damaged (<problem>); …".
class DamagedFile {
public:
    static void setAside(const std::filesystem::path& file, const std::string& what,
                         const std::string& problem, const std::string& consequence);
};

}  // namespace platform
