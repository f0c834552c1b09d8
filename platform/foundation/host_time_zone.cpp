#include "platform/foundation/host_time_zone.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/c_library_zone.h"
#include "platform/foundation/console.h"
#include "platform/foundation/icu_support.h"

namespace platform {

namespace {

// What the C library reads when TZ is unset.
constexpr const char* kSystemZoneFile = "/etc/localtime";

NSTimeZone named(const std::string& id) {
    return *NSTimeZone::timeZoneWithName(id);
}

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

}  // namespace

NSTimeZone HostTimeZone::current() {
    tzset();
    const char* variable = std::getenv("TZ");
    std::string spec;
    if (variable) {
        spec = variable;
    } else if (const auto id = systemZoneID()) {
        return named(*id);
    } else {
        spec = kSystemZoneFile;
    }
    if (spec.starts_with(':')) spec.erase(0, 1);
    // The C library takes an empty TZ for UTC too.
    if (spec.empty()) return named("UTC");
    if (icu_support::isSystemZoneID(spec)) return named(spec);
    // A path into the zone folder names the zone ICU knows by the rest of the path.
    if (const std::string folder = CLibraryZone::zoneFolder() + "/"; spec.starts_with(folder)) {
        if (const std::string id = spec.substr(folder.size()); icu_support::isSystemZoneID(id))
            return named(id);
    }
    if (CLibraryZone::reads(spec)) {
        icu_support::keepTimeZone(spec, CLibraryZone::follow(spec));
        return named(spec);
    }
    if (variable)
        Console::print("TZ=\"" + spec + "\" names no time zone this system can read; dates are in UTC");
    return named("UTC");
}

}  // namespace platform
