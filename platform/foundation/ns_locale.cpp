#include "platform/foundation/ns_locale.h"

#include <unicode/locid.h>

#include <optional>

#include "platform/foundation/mutex.h"

namespace platform {

namespace {

Mutex currentMutex;
std::optional<NSLocale> current GUARDED_BY(currentMutex);

std::string environmentLocaleIdentifier() {
    const icu::Locale& host = icu::Locale::getDefault();
    const std::string name = host.getBaseName();
    // A machine without a configured language (C, POSIX) reads as plain American English.
    if (name.empty() || name == "en_US_POSIX" || std::string(host.getLanguage()).empty()) return "en_US";
    return name;
}

}  // namespace

NSLocale NSLocale::currentLocale() {
    MutexLock lock(currentMutex);
    if (!current) current = NSLocale(environmentLocaleIdentifier());
    return *current;
}

void NSLocale::setCurrentLocale(const NSLocale& locale) {
    MutexLock lock(currentMutex);
    current = locale;
}

}  // namespace platform
