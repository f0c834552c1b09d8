// The process's zone read from TZ, set in the process as a person's shell sets it for the program: zone
// IDs, zone files and POSIX rules, each followed offset for offset as the C library resolves it, and
// values the C library takes for UTC.
#include "platform/foundation/host_time_zone.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/c_library_zone.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_calendar.h"
#include "tests/platform/foundation/civil_time.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::daysFromCivil;
using quorvel::testing::utc;

namespace {

class HostZone : public ::testing::Test {
protected:
    ~HostZone() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    // The zone reader tells the C library of the new value itself.
    static NSTimeZone zoneFor(const char* tz) {
        setenv("TZ", tz, 1);
        return HostTimeZone::current();
    }
    static NSCalendar calendarFor(const char* tz) {
        NSCalendar calendar;
        calendar.setTimeZone(zoneFor(tz));
        return calendar;
    }

private:
    std::optional<std::string> saved_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

// What the C library makes of `date` under the TZ now set.
std::tm cLocal(NSDate date) {
    const auto seconds = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970()));
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

long cOffsetAt(std::time_t instant) {
    std::tm local{};
    localtime_r(&instant, &local);
    return local.tm_gmtoff;
}

NSDate at(std::time_t instant) {
    return NSDate::dateWithTimeIntervalSince1970(static_cast<double>(instant));
}

constexpr std::time_t kFrom1900 = -2'208'988'800;
constexpr std::time_t kUntil2200 = 7'258'118'400;

// Compares the zone's offsets with the C library's from 1900 to 2200 at instants `stride` apart, and to
// the second around each change of the C library's offset seen between two of them. Returns how many
// changes it pinned.
int expectOffsetsOfTheCLibrary(const NSTimeZone& zone, std::time_t stride, const std::string& tz) {
    int pinned = 0;
    long before = cOffsetAt(kFrom1900);
    for (std::time_t low = kFrom1900, high = low + stride; low < kUntil2200; low = high, high += stride) {
        const long after = cOffsetAt(high);
        EXPECT_EQ(zone.secondsFromGMTForDate(at(high)), after)
            << tz << " at " << ::testing::PrintToString(at(high));
        if (after == before) continue;
        std::time_t same = low;
        std::time_t changed = high;
        while (changed - same > 1) {
            const std::time_t middle = same + (changed - same) / 2;
            (cOffsetAt(middle) == before ? same : changed) = middle;
        }
        EXPECT_EQ(zone.secondsFromGMTForDate(at(same)), before)
            << tz << " before " << ::testing::PrintToString(at(changed));
        EXPECT_EQ(zone.secondsFromGMTForDate(at(changed)), cOffsetAt(changed))
            << tz << " at " << ::testing::PrintToString(at(changed));
        if (::testing::Test::HasFailure()) return pinned;
        ++pinned;
        before = after;
    }
    return pinned;
}

// Every zone file under the system's zone folder, by the ID TZ names it with.
std::vector<std::string> zoneFileIDs() {
    const std::filesystem::path folder = "/usr/share/zoneinfo";
    std::vector<std::string> ids;
    for (auto entry = std::filesystem::recursive_directory_iterator(folder);
         entry != std::filesystem::recursive_directory_iterator(); ++entry) {
        const std::string id = entry->path().lexically_relative(folder).string();
        // Copies of the whole folder under other rules.
        if (entry->is_directory() && (id == "posix" || id == "right")) entry.disable_recursion_pending();
        if (!entry->is_regular_file()) continue;
        std::ifstream in(entry->path(), std::ios::binary);
        char magic[4] = {};
        if (in.read(magic, sizeof magic) && std::string(magic, sizeof magic) == "TZif") ids.push_back(id);
    }
    return ids;
}

long peakMemoryKB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

TEST_F(HostZone, AQuarterHourOffsetMovesTheDayAndItsHours) {
    const NSCalendar calendar = calendarFor("QVT-0:15");
    EXPECT_EQ(calendar.timeZone().name(), "QVT-0:15");
    EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(utc(2026, 1, 15)), 900);
    EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(utc(2026, 7, 15)), 900);
    EXPECT_EQ(calendar.startOfDayForDate(utc(2026, 3, 10, 12)), utc(2026, 3, 9, 23, 45));
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 3, 9, 23, 45)),
              utc(2026, 3, 10, 23, 45));
    // An auto-reset hour of 18.
    EXPECT_EQ(calendar.dateBySettingHour(18, 0, 0, utc(2026, 3, 10, 12)), utc(2026, 3, 10, 17, 45));
    // A reminder on Mondays at 14:00: 9 March 2026 is a Monday; five minutes past midnight is Tuesday.
    const auto reminder = calendar.components(
        NSCalendarUnit::Weekday | NSCalendarUnit::Hour | NSCalendarUnit::Minute, utc(2026, 3, 9, 13, 45));
    EXPECT_EQ(reminder, (NSDateComponents{.hour = 14, .minute = 0, .weekday = 2}));
    EXPECT_EQ(calendar.component(NSCalendarUnit::Weekday, utc(2026, 3, 9, 23, 50)), 3);
}

TEST_F(HostZone, ANamedOffsetFormAndACustomGMTOffsetReadAsTheCLibraryReadsThem) {
    const NSCalendar india = calendarFor("<+0530>-5:30");
    EXPECT_EQ(india.timeZone().name(), "<+0530>-5:30");
    EXPECT_EQ(india.timeZone().secondsFromGMTForDate(utc(2026, 7, 1)), 19800);
    EXPECT_EQ(india.startOfDayForDate(utc(2026, 7, 1, 12)), utc(2026, 6, 30, 18, 30));
    EXPECT_EQ(india.component(NSCalendarUnit::Day, utc(2026, 6, 30, 18, 30)), 1);
    // POSIX counts west as positive: "GMT+3" is three hours behind UTC, as the desktop's clock shows it.
    EXPECT_EQ(zoneFor("GMT+3").secondsFromGMTForDate(utc(2026, 7, 1)), -10800);
    EXPECT_EQ(cLocal(utc(2026, 7, 1)).tm_gmtoff, -10800);
}

TEST_F(HostZone, ARuleWithDaylightTimeChangesItsOffsetOnItsDates) {
    const NSCalendar calendar = calendarFor("EST5EDT,M3.2.0,M11.1.0");
    const NSTimeZone& zone = calendar.timeZone();
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 1, 15)), -18000);
    EXPECT_FALSE(zone.isDaylightSavingTimeForDate(utc(2026, 1, 15)));
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 7, 15)), -14400);
    EXPECT_TRUE(zone.isDaylightSavingTimeForDate(utc(2026, 7, 15)));
    // 02:00 → 03:00 on 8 March 2026 (07:00 UTC); 02:00 → 01:00 on 1 November (06:00 UTC).
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 3, 8, 6, 59, 59)), -18000);
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 3, 8, 7)), -14400);
    EXPECT_EQ(calendar.startOfDayForDate(utc(2026, 3, 8, 20)), utc(2026, 3, 8, 5));
    // Noon stays noon across the change; a wall time in the gap is the gap's end.
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 3, 7, 17)), utc(2026, 3, 8, 16));
    EXPECT_EQ(calendar.dateBySettingHour(2, 30, 0, utc(2026, 3, 8, 12)), utc(2026, 3, 8, 7));
    // A repeated wall time is its first occurrence.
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 11, .day = 1, .hour = 1, .minute = 30}),
              utc(2026, 11, 1, 5, 30));
}

TEST_F(HostZone, RulesAreFollowedDayByDayAsTheCLibraryResolvesThem) {
    // Northern and southern rules, the Julian and zero-based day forms, and changes at negative hours.
    for (const char* rule :
         {"EST5EDT,M3.2.0,M11.1.0", "NZST-12NZDT,M9.5.0,M4.1.0/3", "CET-1CEST,J60/2,J300/3",
          "XST-2XDT,59/2,299/3", "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1"}) {
        const NSCalendar calendar = calendarFor(rule);
        for (long year : {1950L, 2026L, 2028L, 2099L}) {
            for (long day = daysFromCivil(year, 1, 1); day < daysFromCivil(year + 1, 1, 1); ++day) {
                for (int hour = 0; hour < 24; hour += 5) {
                    const NSDate date = NSDate::dateWithTimeIntervalSince1970(day * 86400.0 + hour * 3600.0);
                    const std::tm local = cLocal(date);
                    ASSERT_EQ(calendar.timeZone().secondsFromGMTForDate(date), local.tm_gmtoff)
                        << rule << " " << ::testing::PrintToString(date);
                    ASSERT_EQ(calendar.component(NSCalendarUnit::Hour, date), local.tm_hour) << rule;
                    ASSERT_EQ(calendar.component(NSCalendarUnit::Day, date), local.tm_mday) << rule;
                }
            }
        }
    }
}

TEST_F(HostZone, AZoneIDKeepsItsNameGivenAsIDWithAColonOrAsAPath) {
    for (const char* tz : {"Asia/Kathmandu", ":Asia/Kathmandu", "/usr/share/zoneinfo/Asia/Kathmandu"}) {
        const NSCalendar calendar = calendarFor(tz);
        EXPECT_EQ(calendar.timeZone().name(), "Asia/Kathmandu");
        EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(utc(2026, 7, 1)), 20700);
        EXPECT_EQ(calendar.startOfDayForDate(utc(2026, 7, 1, 12)), utc(2026, 6, 30, 18, 15));
    }
}

TEST_F(HostZone, AZoneNothingReadsIsUTCWithOneConsoleLine) {
    for (const char* tz : {"Nowhere/City", "XYZ", "<ab>-3"}) {
        Console::Capture console;
        EXPECT_EQ(zoneFor(tz).name(), "UTC");
        ASSERT_EQ(console.lines().size(), 1u) << tz;
        EXPECT_TRUE(console.contains(tz));
    }
    // Zones that are read say nothing.
    Console::Capture console;
    zoneFor("QVT-0:15");
    zoneFor("Asia/Kathmandu");
    zoneFor("");
    EXPECT_TRUE(console.lines().empty());
    EXPECT_EQ(zoneFor("").name(), "UTC");
}

// Another program writes the file TZ names: one that cannot be read, or is no zone file by its header or
// by its size, is a zone nothing can read. Reading it neither fails, nor waits, nor takes more memory than
// a zone file's size.
TEST_F(HostZone, AZoneFileThatCannotBeReadOrIsNoZoneFileIsUTCWithOneConsoleLine) {
    quorvel::testing::TempDataRoot folder;
    const auto kathmanduPaddedTo = [&](const char* name, std::uintmax_t size) {
        const auto path = folder.path() / name;
        std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Kathmandu", path);
        std::filesystem::resize_file(path, size);
        return path.string();
    };
    constexpr std::uintmax_t kMiB = 1 << 20;
    const std::string atTheBound = kathmanduPaddedTo("within", kMiB);
    const auto text = folder.path() / "text";
    std::ofstream(text) << "Asia/Kathmandu\n";
    // A gigabyte of nothing (a zone's header would have the C library itself read it all).
    const auto huge = folder.path() / "huge";
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, 1024 * kMiB);
    const long peakBefore = peakMemoryKB();
    for (const std::string& tz : {std::string("/proc/self/mem"), kathmanduPaddedTo("past", kMiB + 1),
                                  huge.string(), text.string(), folder.path().string()}) {
        Console::Capture console;
        const NSTimeZone zone = zoneFor(tz.c_str());
        EXPECT_EQ(zone.name(), "UTC") << tz;
        EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 7, 1)), 0) << tz;
        ASSERT_EQ(console.lines().size(), 1u) << tz;
        EXPECT_TRUE(console.contains(tz)) << tz;
    }
    EXPECT_LT(peakMemoryKB() - peakBefore, 64 * 1024);

    // Up to the bound, a zone file is read whatever follows its zone.
    Console::Capture console;
    EXPECT_EQ(zoneFor(atTheBound.c_str()).secondsFromGMTForDate(utc(2026, 7, 1)), 20700);
    EXPECT_TRUE(console.lines().empty());

    // A FIFO is no zone file, whether or not a program ever writes to it, and the C library is never
    // left to wait on it.
    const auto fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(CLibraryZone::reads(fifo.string()));
    Console::Capture fifoConsole;
    EXPECT_EQ(zoneFor(fifo.c_str()).name(), "UTC");
    EXPECT_EQ(fifoConsole.lines().size(), 1u);
}

TEST_F(HostZone, ZonesWhoseRulesChangedLatelyTakeTheSystemsOffsets) {
    for (const char* tz : {"Asia/Almaty", "Asia/Qostanay", "Pacific/Fiji", "America/Chihuahua",
                           "America/Ojinaga", "America/Nuuk", "America/Godthab", "America/Scoresbysund",
                           "Antarctica/Casey", "Antarctica/Vostok"}) {
        const NSCalendar calendar = calendarFor(tz);
        EXPECT_EQ(calendar.timeZone().name(), tz);
        for (const NSDate date :
             {utc(2026, 1, 15, 12), utc(2026, 7, 15, 12), utc(2031, 1, 15), utc(2031, 7, 15)}) {
            const std::tm local = cLocal(date);
            EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(date), local.tm_gmtoff) << tz;
            EXPECT_EQ(calendar.component(NSCalendarUnit::Hour, date), local.tm_hour) << tz;
            EXPECT_EQ(calendar.component(NSCalendarUnit::Day, date), local.tm_mday) << tz;
        }
    }
    // Almaty moved from five hours to six ahead of UTC at midnight starting 1 March 2024, local time.
    const NSCalendar almaty = calendarFor("Asia/Almaty");
    EXPECT_EQ(almaty.timeZone().secondsFromGMTForDate(utc(2024, 2, 29, 17, 59, 59)), 21600);
    EXPECT_EQ(almaty.timeZone().secondsFromGMTForDate(utc(2024, 2, 29, 18)), 18000);
    EXPECT_EQ(almaty.startOfDayForDate(utc(2026, 3, 10, 12)), utc(2026, 3, 9, 19));
}

TEST_F(HostZone, EveryZoneFileGivesTheCLibrarysOffsetsFrom1900To2200) {
    const std::vector<std::string> ids = zoneFileIDs();
    ASSERT_GT(ids.size(), 300u);
    int pinned = 0;
    for (const std::string& id : ids) {
        pinned += expectOffsetsOfTheCLibrary(zoneFor(id.c_str()), 29 * 86'400 + 3'671, id);
        if (HasFailure()) return;
    }
    // The stride sees tens of thousands of daylight-saving changes and older moves.
    EXPECT_GT(pinned, 10'000);
}

TEST_F(HostZone, TheSystemZoneFileIsFollowedWhenTZIsUnset) {
    unsetenv("TZ");
    tzset();
    const NSTimeZone zone = HostTimeZone::current();
    EXPECT_FALSE(zone.name().empty());
    expectOffsetsOfTheCLibrary(zone, 7 * 86'400 + 1'234, "unset");
}

TEST_F(HostZone, FarFutureAndEarlyInstantsFollowTheCLibrary) {
    // New York's file lists changes to 2037 and a rule after; Freetown changed for four days in 1939.
    expectOffsetsOfTheCLibrary(zoneFor("America/New_York"), 86'400 + 7, "America/New_York");
    const NSTimeZone newYork = zoneFor("America/New_York");
    EXPECT_EQ(newYork.secondsFromGMTForDate(utc(2150, 3, 8, 6, 59, 59)), -18000);
    EXPECT_EQ(newYork.secondsFromGMTForDate(utc(2150, 3, 8, 7)), -14400);
    EXPECT_EQ(newYork.secondsFromGMTForDate(utc(1900, 1, 1)), cOffsetAt(kFrom1900));
    expectOffsetsOfTheCLibrary(zoneFor("Africa/Freetown"), 3'600, "Africa/Freetown");
}

TEST_F(HostZone, RulesWithShortOrDefaultDaylightTimeFollowTheCLibrary) {
    // Twelve hours of daylight time a year; a daylight name with no dates takes the system's default rules.
    for (const char* rule : {"XST3XDT,J100/0,J100/12", "AAA5BBB", "<+03>-3<+04>,0/0,365/25"}) {
        EXPECT_EQ(zoneFor(rule).name(), rule);
        EXPECT_GT(expectOffsetsOfTheCLibrary(zoneFor(rule), 3'600 * 7 + 11, rule), 0) << rule;
    }
}

TEST_F(HostZone, OffsetsTheCLibraryReadsLooselyAreRead) {
    for (const auto& [tz, offset] : std::vector<std::pair<const char*, long>>{
             {"AAA+ 5", -18000}, {"AAA-+5", 18000}, {"AAA+ 5:30", -19800}, {"AAA-\t2", 7200}}) {
        Console::Capture console;
        const NSTimeZone zone = zoneFor(tz);
        EXPECT_EQ(zone.name(), tz);
        EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 7, 1)), offset) << tz;
        EXPECT_EQ(cLocal(utc(2026, 7, 1)).tm_gmtoff, offset) << tz;
        EXPECT_TRUE(console.lines().empty()) << tz;
    }
}

TEST_F(HostZone, NamesWithoutAZoneFileAreUTCAsTheCLibraryReadsThem) {
    for (const char* tz : {"PST", "JST", "SystemV/EST5", "SystemV/AST4ADT", "US/Nowhere", "AAA 5", ":",
                           "\x01\x7f<>", "Asia/Almaty/", "../zoneinfo"}) {
        Console::Capture console;
        const NSTimeZone zone = zoneFor(tz);
        EXPECT_EQ(zone.name(), "UTC") << tz;
        for (const NSDate date : {utc(1950, 1, 1), utc(2026, 1, 15), utc(2026, 7, 15)}) {
            EXPECT_EQ(zone.secondsFromGMTForDate(date), 0) << tz;
            EXPECT_EQ(cLocal(date).tm_gmtoff, 0) << tz;
        }
    }
}
