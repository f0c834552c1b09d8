#include "platform/foundation/icu_support.h"

#include <map>
#include <memory>
#include <vector>

#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_date.h"

namespace platform::icu_support {

namespace {

constexpr double kMillisPerSecond = 1000.0;

Mutex zonesMutex;
// Entries are never removed, so the pointers handed out stay valid; the cache itself is never destroyed,
// because background queues may still ask for a zone while the process exits.
using ZoneCache = std::map<std::string, std::unique_ptr<const icu::TimeZone>, std::less<>>;
ZoneCache& zones GUARDED_BY(zonesMutex) = *new ZoneCache();
// Zones replaced under their name, kept alive for whoever still holds them.
std::vector<std::unique_ptr<const icu::TimeZone>>& retiredZones GUARDED_BY(zonesMutex) =
    *new std::vector<std::unique_ptr<const icu::TimeZone>>();

bool isUnknown(const icu::TimeZone& zone) {
    icu::UnicodeString id;
    zone.getID(id);
    return id == UNICODE_STRING_SIMPLE(UCAL_UNKNOWN_ZONE_ID);
}

}  // namespace

icu::UnicodeString toUnicode(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

UDate toUDate(double secondsSinceReferenceDate) {
    return (secondsSinceReferenceDate + NSDate::kReferenceDateSince1970) * kMillisPerSecond;
}

double fromUDate(UDate millisSince1970) {
    return millisSince1970 / kMillisPerSecond - NSDate::kReferenceDateSince1970;
}

const icu::TimeZone* timeZoneNamed(const std::string& name) {
    MutexLock lock(zonesMutex);
    if (auto found = zones.find(name); found != zones.end()) return found->second.get();
    if (name.empty()) return nullptr;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(toUnicode(name)));
    if (!zone || isUnknown(*zone)) return nullptr;
    return zones.emplace(name, std::move(zone)).first->second.get();
}

void keepTimeZone(const std::string& name, std::unique_ptr<const icu::TimeZone> zone) {
    MutexLock lock(zonesMutex);
    auto& known = zones[name];
    if (known) retiredZones.push_back(std::move(known));
    known = std::move(zone);
}

bool isSystemZoneID(const std::string& id) {
    icu::UnicodeString canonical;
    UBool systemID = false;
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone::getCanonicalID(toUnicode(id), canonical, systemID, status);
    return U_SUCCESS(status) && systemID;
}

icu::Locale locale(const std::string& identifier) {
    return icu::Locale::createCanonical(identifier.c_str());
}

}  // namespace platform::icu_support
