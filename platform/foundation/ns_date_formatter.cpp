#include "platform/foundation/ns_date_formatter.h"

#include <unicode/dtptngen.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>

#include <cmath>

#include "platform/foundation/icu_support.h"
#include "platform/foundation/mutex.h"

namespace platform {

namespace {

// Two-digit years read as 1950 … 2049, as the platform does, rather than relative to the host clock.
constexpr double kTwoDigitYearStart = -1609459200.0;  // 1950-01-01 00:00:00 UTC

// The longest run of digits (of any script) a date text may hold. No pattern needs more than about 20
// in a row, and ICU's parser divides by zero on a fraction of 35 or more.
constexpr int kLongestDigitRun = 24;

bool hasOverlongDigitRun(const icu::UnicodeString& text) {
    int run = 0;
    for (int32_t at = 0; at < text.length(); at = text.moveIndex32(at, 1)) {
        run = u_isdigit(text.char32At(at)) ? run + 1 : 0;
        if (run > kLongestDigitRun) return true;
    }
    return false;
}

icu::DateFormat::EStyle icuStyle(NSDateFormatterStyle style) {
    switch (style) {
        case NSDateFormatterStyle::Short:
            return icu::DateFormat::kShort;
        case NSDateFormatterStyle::Medium:
            return icu::DateFormat::kMedium;
        case NSDateFormatterStyle::Long:
            return icu::DateFormat::kLong;
        case NSDateFormatterStyle::Full:
            return icu::DateFormat::kFull;
        case NSDateFormatterStyle::None:
            break;
    }
    return icu::DateFormat::kNone;
}

std::unique_ptr<icu::SimpleDateFormat> buildFormat(const std::string& pattern, const NSLocale& locale,
                                                   const NSTimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale = icu_support::locale(locale.localeIdentifier());
    auto format = std::make_unique<icu::SimpleDateFormat>(icu_support::toUnicode(pattern), icuLocale, status);
    if (U_FAILURE(status)) return nullptr;
    const icu::TimeZone* icuZone = icu_support::timeZoneNamed(zone.name());
    auto calendar = std::make_unique<icu::GregorianCalendar>(icuZone ? *icuZone : *icu::TimeZone::getGMT(),
                                                             icuLocale, status);
    if (U_FAILURE(status)) return nullptr;
    // A wall time that happens twice reads as its first occurrence, as NSCalendar builds it.
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    format->adoptCalendar(calendar.release());
    format->setLenient(false);
    format->set2DigitYearStart(icu_support::toUDate(kTwoDigitYearStart), status);
    if (U_FAILURE(status)) return nullptr;
    return format;
}

}  // namespace

// ICU formatters are not safe to share between threads; the mutex guards this one.
struct NSDateFormatter::Engine {
    Mutex mutex;
    std::unique_ptr<icu::SimpleDateFormat> format GUARDED_BY(mutex);
    bool built GUARDED_BY(mutex) = false;

    // Null when ICU refuses the pattern or locale.
    icu::SimpleDateFormat* formatFor(const std::string& pattern, const NSLocale& locale,
                                     const NSTimeZone& zone) REQUIRES(mutex) {
        if (!built) {
            format = buildFormat(pattern, locale, zone);
            built = true;
        }
        return format.get();
    }
};

NSDateFormatter::NSDateFormatter()
    : locale_(NSLocale::currentLocale()),
      timeZone_(NSTimeZone::defaultTimeZone()),
      engine_(std::make_unique<Engine>()) {}

NSDateFormatter::~NSDateFormatter() = default;

NSDateFormatter::NSDateFormatter(const NSDateFormatter& other)
    : dateFormat_(other.dateFormat_),
      dateStyle_(other.dateStyle_),
      timeStyle_(other.timeStyle_),
      locale_(other.locale_),
      timeZone_(other.timeZone_),
      engine_(std::make_unique<Engine>()) {}

NSDateFormatter& NSDateFormatter::operator=(const NSDateFormatter& other) {
    if (this == &other) return *this;
    dateFormat_ = other.dateFormat_;
    dateStyle_ = other.dateStyle_;
    timeStyle_ = other.timeStyle_;
    locale_ = other.locale_;
    timeZone_ = other.timeZone_;
    invalidate();
    return *this;
}

void NSDateFormatter::setDateFormat(const std::string& pattern) {
    dateFormat_ = pattern;
    invalidate();
}

void NSDateFormatter::setDateStyle(NSDateFormatterStyle style) {
    dateStyle_ = style;
    applyStyles();
}

void NSDateFormatter::setTimeStyle(NSDateFormatterStyle style) {
    timeStyle_ = style;
    applyStyles();
}

void NSDateFormatter::setLocale(const NSLocale& locale) {
    locale_ = locale;
    // A style-based pattern follows the locale; a fixed pattern stays.
    if (dateStyle_ != NSDateFormatterStyle::None || timeStyle_ != NSDateFormatterStyle::None) {
        applyStyles();
    } else {
        invalidate();
    }
}

void NSDateFormatter::setTimeZone(const NSTimeZone& zone) {
    timeZone_ = zone;
    invalidate();
}

void NSDateFormatter::applyStyles() {
    std::string pattern;
    if (dateStyle_ != NSDateFormatterStyle::None || timeStyle_ != NSDateFormatterStyle::None) {
        std::unique_ptr<icu::DateFormat> styled(icu::DateFormat::createDateTimeInstance(
            icuStyle(dateStyle_), icuStyle(timeStyle_), icu_support::locale(locale_.localeIdentifier())));
        if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(styled.get())) {
            icu::UnicodeString icuPattern;
            simple->toPattern(icuPattern);
            pattern = icu_support::toUtf8(icuPattern);
        }
    }
    setDateFormat(pattern);
}

void NSDateFormatter::invalidate() {
    MutexLock lock(engine_->mutex);
    engine_->format.reset();
    engine_->built = false;
}

std::string NSDateFormatter::stringFromDate(NSDate date) const {
    if (!std::isfinite(date.timeIntervalSinceReferenceDate())) return {};
    MutexLock lock(engine_->mutex);
    icu::SimpleDateFormat* format = engine_->formatFor(dateFormat_, locale_, timeZone_);
    if (!format) return {};
    icu::UnicodeString text;
    format->format(icu_support::toUDate(date.timeIntervalSinceReferenceDate()), text);
    return icu_support::toUtf8(text);
}

std::optional<NSDate> NSDateFormatter::dateFromString(const std::string& text) const {
    MutexLock lock(engine_->mutex);
    icu::SimpleDateFormat* format = engine_->formatFor(dateFormat_, locale_, timeZone_);
    if (!format || text.empty()) return std::nullopt;
    const icu::UnicodeString input = icu_support::toUnicode(text);
    if (hasOverlongDigitRun(input)) return std::nullopt;
    icu::ParsePosition position(0);
    const UDate parsed = format->parse(input, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length() || !std::isfinite(parsed)) {
        return std::nullopt;
    }
    return NSDate(icu_support::fromUDate(parsed));
}

std::optional<std::string> NSDateFormatter::dateFormatFromTemplate(const std::string& templ, unsigned long,
                                                                   const NSLocale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(icu::DateTimePatternGenerator::createInstance(
        icu_support::locale(locale.localeIdentifier()), status));
    if (U_FAILURE(status) || !generator) return std::nullopt;
    const icu::UnicodeString pattern = generator->getBestPattern(icu_support::toUnicode(templ), status);
    if (U_FAILURE(status) || pattern.isEmpty()) return std::nullopt;
    return icu_support::toUtf8(pattern);
}

}  // namespace platform
