// Zone files another program wrote, built here byte by byte: a file whose header passes but whose tables
// do not hold together is never handed to the C library, which trusts them; it is a zone nothing can read.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/c_library_zone.h"
#include "platform/foundation/console.h"
#include "platform/foundation/host_time_zone.h"
#include "tests/platform/foundation/civil_time.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::testing::utc;

namespace {

// One header and data block of a zone file. The counts the header gives are the true ones unless set.
struct Block {
    struct Type {
        std::int32_t offset;
        std::uint8_t daylight;
        std::uint8_t abbreviation;
    };
    std::vector<std::int64_t> times;
    std::vector<std::uint8_t> typeIndices;
    std::vector<Type> types;
    std::string abbreviations;
    std::optional<std::uint32_t> timeCount, typeCount, abbreviationCount, standardCount;

    std::string bytes(char version, int timeSize) const {
        std::string out = "TZif";
        out += version;
        out += std::string(15, '\0');
        for (const std::uint32_t count :
             {0u, standardCount.value_or(0u), 0u, timeCount.value_or(std::uint32_t(times.size())),
              typeCount.value_or(std::uint32_t(types.size())),
              abbreviationCount.value_or(std::uint32_t(abbreviations.size()))})
            put(out, count, 4);
        for (const std::int64_t time : times) put(out, std::uint64_t(time), timeSize);
        for (const std::uint8_t index : typeIndices) out += char(index);
        for (const Type& type : types) {
            put(out, std::uint32_t(type.offset), 4);
            out += char(type.daylight);
            out += char(type.abbreviation);
        }
        out += abbreviations;
        for (std::uint32_t i = 0; i < standardCount.value_or(0); ++i) out += '\0';
        return out;
    }

private:
    static void put(std::string& out, std::uint64_t value, int size) {
        for (int i = size - 1; i >= 0; --i) out += char(value >> (8 * i) & 0xff);
    }
};

// Kathmandu since 1986: five hours thirty ahead of universal time, then five hours forty-five.
constexpr std::int64_t kChange = 504'901'800;  // 1986-01-01 00:00 local, 1985-12-31 18:30 UTC
Block kathmandu() {
    return {{kChange}, {1}, {{19800, 0, 0}, {20700, 0, 6}}, std::string("+0530\0+0545\0", 12), {}, {}, {}, {}};
}
const std::string kFooter = "\n<+0545>-5:45\n";

std::string secondVersion(const Block& first, const Block& second, const std::string& footer = kFooter) {
    return first.bytes('2', 4) + second.bytes('2', 8) + footer;
}

class DamagedZoneFile : public ::testing::Test {
protected:
    ~DamagedZoneFile() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const auto path = folder_.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // The zone TZ names, read as the app reads it at launch, with what it printed.
    static NSTimeZone zoneFor(const std::string& tz, Console::Capture& console) {
        setenv("TZ", tz.c_str(), 1);
        const NSTimeZone zone = HostTimeZone::current();
        EXPECT_TRUE(console.lines().size() <= 1) << tz;
        return zone;
    }

    static long cOffsetAt(NSDate date) {
        const auto seconds = static_cast<std::time_t>(date.timeIntervalSince1970());
        std::tm local{};
        localtime_r(&seconds, &local);
        return local.tm_gmtoff;
    }

private:
    quorvel::testing::TempDataRoot folder_;
    std::optional<std::string> saved_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

}  // namespace

// The files below differ from this one in one fault each.
TEST_F(DamagedZoneFile, AWholeHandBuiltFileIsReadAsTheCLibraryReadsIt) {
    for (const auto& [name, bytes] : {std::pair{"first", kathmandu().bytes('\0', 4)},
                                      std::pair{"second", secondVersion(kathmandu(), kathmandu())}}) {
        const std::string path = write(name, bytes);
        Console::Capture console;
        const NSTimeZone zone = zoneFor(path, console);
        EXPECT_TRUE(console.lines().empty()) << name;
        EXPECT_EQ(zone.secondsFromGMTForDate(utc(1985, 12, 31, 18, 29, 59)), 19800) << name;
        EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 7, 1)), 20700) << name;
        EXPECT_EQ(cOffsetAt(utc(2026, 7, 1)), 20700) << name;
    }
}

TEST_F(DamagedZoneFile, TablesThatDoNotHoldTogetherMakeAZoneNothingCanRead) {
    using Spoil = std::function<void(Block&)>;
    const std::vector<std::pair<const char*, Spoil>> faults = {
        {"a type index past the types", [](Block& b) { b.typeIndices[0] = 2; }},
        {"an abbreviation index past the abbreviations", [](Block& b) { b.types[1].abbreviation = 12; }},
        {"an abbreviation not ended inside its table", [](Block& b) { b.abbreviations.pop_back(); }},
        {"transitions out of order", [](Block& b) {
             b.times = {kChange, kChange - 86400};
             b.typeIndices = {1, 0};
         }},
        {"a transition twice", [](Block& b) {
             b.times = {kChange, kChange};
             b.typeIndices = {1, 1};
         }},
        {"more transitions than the file holds", [](Block& b) { b.timeCount = 1000; }},
        {"more abbreviation bytes than the file holds", [](Block& b) { b.abbreviationCount = 0xffffffff; }},
        {"no types", [](Block& b) { b.typeCount = 0; }},
        {"standard-time flags for fewer types than there are", [](Block& b) { b.standardCount = 1; }},
        {"a daylight flag that is neither", [](Block& b) { b.types[1].daylight = 2; }},
        {"an offset of days", [](Block& b) { b.types[1].offset = 5 * 86400; }},
    };
    for (const auto& [fault, spoil] : faults) {
        Block spoilt = kathmandu();
        spoil(spoilt);
        // In the only block of a first-version file, and in either block of a later one.
        const std::vector<std::pair<std::string, std::string>> files = {
            {"first", spoilt.bytes('\0', 4)},
            {"32-bit block", secondVersion(spoilt, kathmandu())},
            {"64-bit block", secondVersion(kathmandu(), spoilt)}};
        for (const auto& [where, bytes] : files) {
            const std::string path = write("damaged", bytes);
            ASSERT_FALSE(CLibraryZone::reads(path)) << fault << " in " << where;
            Console::Capture console;
            const NSTimeZone zone = zoneFor(path, console);
            EXPECT_EQ(zone.name(), "UTC") << fault << " in " << where;
            EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 7, 1)), 0) << fault << " in " << where;
            // The C library was told UTC rather than the file.
            EXPECT_EQ(cOffsetAt(utc(2026, 7, 1)), 0) << fault << " in " << where;
            EXPECT_EQ(console.lines().size(), 1u) << fault << " in " << where;
            EXPECT_TRUE(console.contains(path)) << fault << " in " << where;
        }
    }
}

TEST_F(DamagedZoneFile, ALaterVersionWithoutItsFooterLineOrWithATruncatedOneIsRefused) {
    for (const std::string& footer : {std::string(), std::string("\n<+0545>-5:45"), std::string("<+0545>-5:45\n"),
                                      std::string("\n<+05\0" "45>-5:45\n", 15)}) {
        const std::string path = write("footer", secondVersion(kathmandu(), kathmandu(), footer));
        Console::Capture console;
        EXPECT_EQ(zoneFor(path, console).name(), "UTC") << footer;
        EXPECT_EQ(console.lines().size(), 1u);
    }
}

// POSIX lets a TZ value start with a colon; the line says what the person set.
TEST_F(DamagedZoneFile, TheConsoleLineEchoesTZAsItWasGivenColonAndAll) {
    Block spoilt = kathmandu();
    spoilt.typeIndices[0] = 7;
    const std::string path = write("colon", spoilt.bytes('\0', 4));
    for (const std::string& tz : {":" + path, std::string(":Nowhere/City")}) {
        Console::Capture console;
        EXPECT_EQ(zoneFor(tz, console).name(), "UTC");
        ASSERT_EQ(console.lines().size(), 1u) << tz;
        EXPECT_TRUE(console.contains("TZ=\"" + tz + "\"")) << console.lines().front();
    }
}
