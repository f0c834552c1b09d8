#include "platform/foundation/host_time_zone.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/c_library_zone.h"
#include "platform/foundation/console.h"
#include "platform/foundation/icu_support.h"
#include "platform/foundation/zone_file.h"

namespace platform {

namespace {

// What the C library reads when TZ is unset.
constexpr const char* kSystemZoneFile = "/etc/localtime";

// The system's zone by the ID ICU finds for it, when that is one of its own.
std::optional<std::string> systemZoneID() {
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (!host) return std::nullopt;
    icu::UnicodeString id;
    host->getID(id);
    std::string name = icu_support::toUtf8(id);
    if (!icu_support::isSystemZoneID(name)) return std::nullopt;
    return name;
}

// The name the zone the C library reads for `spec` goes by: its zone ID where it has one, else `spec`.
std::string nameOf(const std::string& spec) {
    if (const std::string folder = ZoneFile::folder() + "/"; spec.starts_with(folder)) {
        if (std::string id = spec.substr(folder.size()); icu_support::isSystemZoneID(id)) return id;
    }
    return spec;
}

}  // namespace

NSTimeZone HostTimeZone::current() {
    // A copy: the value goes when TZ is set again.
    const char* set = std::getenv("TZ");
    const std::optional<std::string> variable = set ? std::optional<std::string>(set) : std::nullopt;
    std::string spec = variable.value_or(kSystemZoneFile);
    if (spec.starts_with(':')) spec.erase(0, 1);
    // The C library takes an empty TZ for UTC too.
    if (spec.empty()) return *NSTimeZone::timeZoneWithName("UTC");
    // TZ may name any file, and the system's may be damaged: the C library would wait on a FIFO, read a
    // huge file whole, or trust what a damaged one says of its own tables. It is told UTC before it reads
    // the value, unless this reader found the file whole and consistent.
    const bool unreadableFile = ZoneFile::namesOtherFile(spec);
    if (unreadableFile) setenv("TZ", "UTC0", 1);
    tzset();
    if (unreadableFile || !CLibraryZone::reads(spec)) {
        if (variable || unreadableFile) {
            const std::string named = variable ? "TZ=\"" + *variable + "\"" : spec;
            Console::print(named + " names no time zone this system can read; dates are in UTC");
        }
        return *NSTimeZone::timeZoneWithName("UTC");
    }
    // The zone keeps its ID, but its offsets are the C library's: the system's zone files are newer
    // than ICU's own data.
    const std::string name = variable ? nameOf(spec) : systemZoneID().value_or(spec);
    icu_support::keepTimeZone(name, CLibraryZone::follow(name, spec));
    return *NSTimeZone::timeZoneWithName(name);
}

}  // namespace platform
