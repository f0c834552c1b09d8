#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Not part of the platform's surface: what the C library finds in a compiled zone file.
namespace platform {

// A compiled zone file ("TZif") as the C library finds it for a TZ value.
class ZoneFile {
public:
    // Where the C library looks for a zone file named without a path.
    static std::string folder();

    // The file the C library reads for `spec` (a TZ value without its leading colon), if that is a zone
    // file, whole and consistent by this reader's checks: the instants at which it changes its offsets,
    // in order. None when there is no such file.
    static std::optional<std::vector<std::time_t>> transitions(std::string_view spec);

    // Whether `spec` names something the C library would open that is no zone file by this reader's
    // checks (a FIFO, a device, a huge or damaged file): the C library would wait on it or read it whole.
    static bool namesOtherFile(std::string_view spec);

private:
    static std::filesystem::path pathOf(std::string_view spec);
};

}  // namespace platform
