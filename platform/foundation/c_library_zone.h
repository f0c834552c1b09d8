#pragma once

#include <unicode/timezone.h>

#include <memory>
#include <string>
#include <string_view>

// Not part of the platform's surface: how the host zone is read.
namespace platform {

// The time zone as the C library resolves it for the process's TZ (or the system zone file).
class CLibraryZone {
public:
    // Whether the C library reads `spec` (a TZ value without its leading colon) as a zone: a zone file,
    // or a POSIX rule that starts with a name and an offset. It takes anything else for UTC.
    static bool reads(std::string_view spec);

    // The C library's offsets under the process's TZ as it is now, `spec` (as for reads()), each change
    // to the second from 1900 to 2200, as an ICU zone with this ID. Outside those years the offsets of
    // the nearest one hold.
    static std::unique_ptr<icu::TimeZone> follow(const std::string& id, std::string_view spec);
};

}  // namespace platform
