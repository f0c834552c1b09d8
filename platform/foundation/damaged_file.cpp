#include "platform/foundation/damaged_file.h"

#include <cmath>
#include <cstdint>
#include <system_error>

#include "platform/foundation/console.h"
#include "platform/foundation/ns_date.h"

namespace fs = std::filesystem;

namespace platform {

void DamagedFile::setAside(const fs::path& file, const std::string& what, const std::string& problem,
                           const std::string& consequence) {
    const auto unixTime = static_cast<std::int64_t>(std::floor(NSDate::now().timeIntervalSince1970()));
    const std::string base = file.string() + ".damaged-" + std::to_string(unixTime);
    fs::path aside = base;
    std::error_code error;
    for (int n = 1; fs::exists(aside, error); ++n) aside = base + "." + std::to_string(n);
    fs::rename(file, aside, error);
    const std::string said = what + " " + file.string() + " is damaged (" + problem;
    if (error) {
        Console::print(said + ") and could not be set aside (" + error.message() + "); " + consequence);
    } else {
        Console::print(said + "); it was moved to " + aside.string() + " and " + consequence);
    }
}

}  // namespace platform
