#pragma once

#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <memory>
#include <string>
#include <string_view>

// Helpers shared by the ICU-backed date classes. Not part of the platform's surface.
namespace platform::icu_support {

icu::UnicodeString toUnicode(std::string_view utf8);
std::string toUtf8(const icu::UnicodeString& text);

// NSDate counts seconds from 2001-01-01, ICU milliseconds from 1970-01-01.
UDate toUDate(double secondsSinceReferenceDate);
double fromUDate(UDate millisSince1970);

// The zone with this identifier, made once and kept for the process; nullptr when ICU does not know
// the name. The zone is immutable and safe to read from any thread.
const icu::TimeZone* timeZoneNamed(const std::string& name);
// Makes `zone` the one known by `name` from now on, in place of any zone known by that name before.
// Zones handed out before stay valid.
void keepTimeZone(const std::string& name, std::unique_ptr<const icu::TimeZone> zone);
// Whether `id` names a zone of ICU's database (not a custom "GMT+3", which POSIX reads the other way).
bool isSystemZoneID(const std::string& id);

icu::Locale locale(const std::string& identifier);

}  // namespace platform::icu_support
