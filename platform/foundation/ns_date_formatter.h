#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"

namespace platform {

enum class NSDateFormatterStyle { None = 0, Short = 1, Medium = 2, Long = 3, Full = 4 };

// Turns dates into text and back with a Unicode date pattern ("yyyy/MM/dd", "HH:mm") or the locale's
// date and time styles, in the Gregorian calendar. Starts with the current locale and the default
// time zone. Parsing is strict and must consume the whole text. Once set up, formatting and parsing
// are safe from several threads at once.
class NSDateFormatter {
public:
    NSDateFormatter();
    ~NSDateFormatter();
    NSDateFormatter(const NSDateFormatter& other);
    NSDateFormatter& operator=(const NSDateFormatter& other);

    const std::string& dateFormat() const { return dateFormat_; }
    void setDateFormat(const std::string& pattern);

    // Setting a style replaces the pattern with the locale's pattern for the two styles.
    void setDateStyle(NSDateFormatterStyle style);
    void setTimeStyle(NSDateFormatterStyle style);

    const NSLocale& locale() const { return locale_; }
    void setLocale(const NSLocale& locale);
    const NSTimeZone& timeZone() const { return timeZone_; }
    void setTimeZone(const NSTimeZone& zone);

    // Empty for a date that cannot be shown (NaN, infinite).
    std::string stringFromDate(NSDate date) const;
    // Nothing for text the format does not read whole, or that holds more than 24 digits in a row.
    std::optional<NSDate> dateFromString(const std::string& text) const;

    // The locale's best pattern for the fields a template names (options are unused); none when
    // ICU cannot derive one.
    static std::optional<std::string> dateFormatFromTemplate(const std::string& templ, unsigned long options,
                                                             const NSLocale& locale);

private:
    struct Engine;

    void applyStyles();
    void invalidate();

    std::string dateFormat_;
    NSDateFormatterStyle dateStyle_ = NSDateFormatterStyle::None;
    NSDateFormatterStyle timeStyle_ = NSDateFormatterStyle::None;
    NSLocale locale_;
    NSTimeZone timeZone_;
    // The ICU formatter for the current settings, built on first use.
    std::unique_ptr<Engine> engine_;
};

}  // namespace platform
