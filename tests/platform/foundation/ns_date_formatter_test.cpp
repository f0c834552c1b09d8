#include "platform/foundation/ns_date_formatter.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

#include "tests/platform/foundation/civil_time.h"

using namespace platform;
using quorvel::testing::utc;

namespace {

NSDateFormatter formatter(const std::string& pattern, const char* zone, const char* locale = "en_US") {
    NSDateFormatter result;
    result.setDateFormat(pattern);
    result.setTimeZone(*NSTimeZone::timeZoneWithName(zone));
    result.setLocale(NSLocale(locale));
    return result;
}

}  // namespace

TEST(DateFormatterPattern, FormatsInTheFormattersZone) {
    const NSDate lateEvening = utc(2026, 3, 5, 23, 30);
    EXPECT_EQ(formatter("yyyy/MM/dd", "UTC").stringFromDate(lateEvening), "2026/03/05");
    EXPECT_EQ(formatter("yyyy/MM/dd", "Europe/Berlin").stringFromDate(lateEvening), "2026/03/06");
    EXPECT_EQ(formatter("HH:mm", "Europe/Berlin").stringFromDate(lateEvening), "00:30");
    EXPECT_EQ(formatter("HH:mm", "Europe/Berlin").stringFromDate(utc(2026, 7, 1, 23, 30)), "01:30");
    EXPECT_EQ(formatter("MMM d", "UTC").stringFromDate(lateEvening), "Mar 5");
    EXPECT_EQ(formatter("MMMM", "UTC", "de_DE").stringFromDate(lateEvening), "März");
}

TEST(DateFormatterPattern, UnshowableDatesGiveEmptyText) {
    EXPECT_EQ(formatter("yyyy", "UTC").stringFromDate(NSDate(std::numeric_limits<double>::quiet_NaN())), "");
    EXPECT_EQ(formatter("", "UTC").stringFromDate(utc(2026, 3, 5)), "");
}

TEST(DateFormatterParsing, ReadsTheWholeTextInTheFormattersZone) {
    EXPECT_EQ(formatter("yyyy/MM/dd", "Europe/Berlin").dateFromString("2026/03/05"), utc(2026, 3, 4, 23));
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss", "America/New_York").dateFromString("2026-11-01 09:15:00"),
              utc(2026, 11, 1, 14, 15));
    EXPECT_EQ(formatter("yy/MM/dd", "UTC").dateFromString("26/03/05"), utc(2026, 3, 5));
    EXPECT_EQ(formatter("yy/MM/dd", "UTC").dateFromString("50/03/05"), utc(1950, 3, 5));
}

TEST(DateFormatterParsing, RejectsTextThatDoesNotMatch) {
    const NSDateFormatter dates = formatter("yyyy/MM/dd", "UTC");
    EXPECT_FALSE(dates.dateFromString(""));
    EXPECT_FALSE(dates.dateFromString("2026/03/05 trailing"));
    EXPECT_FALSE(dates.dateFromString("2026/13/45"));
    EXPECT_FALSE(dates.dateFromString("March"));
}

TEST(DateFormatterParsing, LongDigitRunsGiveNoDateInsteadOfReachingIcu) {
    // ICU divides by zero on a fraction of 35 digits or more, in any script.
    const NSDateFormatter fraction = formatter("ss.SSS", "UTC");
    std::string arabicIndic;
    for (int i = 0; i < 40; ++i) arabicIndic += "\u0669";
    for (const std::string& text : {"00." + std::string(35, '9'), "00." + std::string(200, '0'),
                                    "00." + arabicIndic, "12.1e" + std::string(40, '7')}) {
        EXPECT_FALSE(fraction.dateFromString(text)) << text.size();
    }
    EXPECT_EQ(fraction.dateFromString("07.250"), NSDate(utc(1970, 1, 1).timeIntervalSinceReferenceDate() + 7.25));
    EXPECT_EQ(formatter("yyyyMMddHHmmssSSS", "UTC").dateFromString("20260305233000500"),
              NSDate(utc(2026, 3, 5, 23, 30).timeIntervalSinceReferenceDate() + 0.5));
}

TEST(DateFormatterTemplate, DerivesTheLocalesPattern) {
    // ICU keeps the fields a template names and lays them out the locale's way; the template's own
    // comma and line feed do not survive.
    const auto american = NSDateFormatter::dateFormatFromTemplate("EE,\nd MMM", 0, NSLocale("en_US"));
    ASSERT_TRUE(american);
    EXPECT_EQ(*american, "EEE, MMM d");
    EXPECT_EQ(formatter(*american, "UTC").stringFromDate(utc(2026, 3, 5, 12)), "Thu, Mar 5");

    const auto german = NSDateFormatter::dateFormatFromTemplate("EE,\nd MMM", 0, NSLocale("de_DE"));
    ASSERT_TRUE(german);
    EXPECT_EQ(*german, "EEE, d. MMM");
    EXPECT_EQ(NSDateFormatter::dateFormatFromTemplate("MMM d", 0, NSLocale("en_GB")), "d MMM");
}

TEST(DateFormatterStyles, ShortTimeFollowsTheLocale) {
    NSDateFormatter time = formatter("", "Europe/Berlin");
    time.setDateStyle(NSDateFormatterStyle::None);
    time.setTimeStyle(NSDateFormatterStyle::Short);
    const NSDate midnight = utc(2026, 3, 4, 23);
    EXPECT_EQ(time.stringFromDate(midnight), "12:00\u202fAM");
    time.setLocale(NSLocale("de_DE"));
    EXPECT_EQ(time.stringFromDate(midnight), "00:00");
    EXPECT_EQ(time.dateFormat(), "HH:mm");
}

TEST(DateFormatterDefaults, StartWithTheCurrentLocaleAndDefaultZone) {
    const NSLocale originalLocale = NSLocale::currentLocale();
    const NSTimeZone originalZone = NSTimeZone::defaultTimeZone();
    NSLocale::setCurrentLocale(NSLocale("de_DE"));
    NSTimeZone::setDefaultTimeZone(*NSTimeZone::timeZoneWithName("Europe/Berlin"));

    NSDateFormatter fresh;
    fresh.setDateFormat("d. MMMM HH:mm");
    EXPECT_EQ(fresh.stringFromDate(utc(2026, 3, 5, 23, 30)), "6. März 00:30");

    NSLocale::setCurrentLocale(originalLocale);
    NSTimeZone::setDefaultTimeZone(originalZone);
}

TEST(DateFormatterCopies, KeepSettingsAndChangeIndependently) {
    NSDateFormatter original = formatter("yyyy", "UTC");
    NSDateFormatter copy = original;
    copy.setDateFormat("MM");
    EXPECT_EQ(original.stringFromDate(utc(2026, 3, 5)), "2026");
    EXPECT_EQ(copy.stringFromDate(utc(2026, 3, 5)), "03");
    original = copy;
    EXPECT_EQ(original.stringFromDate(utc(2026, 3, 5)), "03");
}

TEST(DateFormatterThreads, OneFormatterServesSeveralThreads) {
    const NSDateFormatter shared = formatter("yyyy-MM-dd HH:mm:ssxxx", "Europe/Berlin");
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const NSDate date = utc(2026, 1 + (t * 3), 1 + i % 28, i % 24);
                const auto back = shared.dateFromString(shared.stringFromDate(date));
                if (back != date) ++mismatches[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
