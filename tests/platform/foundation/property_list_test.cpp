#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/foundation/clock.h"
#include "platform/foundation/property_list.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using namespace std::string_literals;

namespace {

constexpr double kStart = VirtualClock::kDefaultStart;  // 2026-03-02 09:00:00 UTC

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>";
}

Value parsed(const std::string& xml) {
    std::string error;
    auto value = PropertyList::parse(xml, &error);
    EXPECT_TRUE(value) << error << "\n" << xml;
    return value.value_or(Value());
}

std::string written(const Value& value) {
    std::string error;
    auto xml = PropertyList::serialize(value, &error);
    EXPECT_TRUE(xml) << error;
    return xml.value_or("");
}

Value roundTrip(const Value& value) {
    return parsed(written(value));
}

Value nested(int depth) {
    Value value = 1;
    for (int i = 0; i < depth; ++i) value = Value::Array{value};
    return value;
}

}  // namespace

TEST(PropertyListRoundTrip, EveryKindAndEdgeValueReadsBackEqual) {
    const double inf = std::numeric_limits<double>::infinity();
    const Value::Dictionary original{
        {"bool", true},
        {"false", false},
        {"int", -42},
        {"int64 min", std::numeric_limits<std::int64_t>::min()},
        {"uint64 max", std::numeric_limits<std::uint64_t>::max()},
        {"tenth", 0.1},
        {"whole real", 1.0},
        {"nan", std::numeric_limits<double>::quiet_NaN()},
        {"inf", inf},
        {"-inf", -inf},
        {"smallest", std::numeric_limits<double>::denorm_min()},
        {"empty string", ""},
        {"spaces", "   "},
        {"markup", "<a href=\"x\">&amp;</a> ]]> 'q'"},
        {"controls", "line\r\nnext\ttab\x01\x1f end\0nul"s},
        {"empty data", Value::Data{}},
        {"data", Value::Data{0, 1, 2, 253, 254, 255, 7}},
        {"date", NSDate(kStart + 0.25)},
        {"Schlüssel ключ 🍅", "ünïcödé ✓"},
        {"", "empty key"},
        {"nested", Value::Array{Value::Array{}, Value::Dictionary{},
                                Value::Array{1, "two", Value::Dictionary{{"three", 3.5}}}}},
    };
    const Value read = roundTrip(original);
    EXPECT_EQ(read, Value(original));
    EXPECT_EQ(parsed(PropertyList::serializeBinary(original).value_or("")), Value(original));
    ASSERT_NE(read.dictionaryValue(), nullptr);
    const auto& entries = *read.dictionaryValue();
    EXPECT_EQ(entries.at("bool").kind(), Value::Kind::Bool);
    EXPECT_EQ(entries.at("whole real").kind(), Value::Kind::Double);
    EXPECT_EQ(entries.at("uint64 max").kind(), Value::Kind::UInt);
    EXPECT_EQ(entries.at("int64 min").kind(), Value::Kind::Int);
}

TEST(PropertyListRoundTrip, SpecialRealsAndLargeIntegersAreSpelledOut) {
    const std::string xml = written(
        Value::Array{std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<std::uint64_t>::max(), 0.1});
    EXPECT_NE(xml.find("<real>nan</real>"), std::string::npos);
    EXPECT_NE(xml.find("<real>-inf</real>"), std::string::npos);
    EXPECT_NE(xml.find("<integer>18446744073709551615</integer>"), std::string::npos);
    EXPECT_NE(xml.find("<real>0.10000000000000001</real>"), std::string::npos);
}

TEST(PropertyListDates, FractionalSecondsAreWrittenOnlyWhenPresent) {
    EXPECT_NE(written(NSDate(kStart + 0.25)).find("<date>2026-03-02T09:00:00.25Z</date>"), std::string::npos);
    EXPECT_NE(written(NSDate(kStart)).find("<date>2026-03-02T09:00:00Z</date>"), std::string::npos);
    EXPECT_EQ(parsed(plist("<date>2026-03-02T09:00:00Z</date>")), Value(NSDate(kStart)));
    EXPECT_EQ(parsed(plist("<date>2026-03-02T09:00:00.5Z</date>")), Value(NSDate(kStart + 0.5)));
}

TEST(PropertyListDates, EveryRepresentableDateReadsBackExactly) {
    for (const double seconds :
         {kStart + 0.1, kStart + 0.123456789, kStart - 1e-6, -0.5, 1e-9, -1e-9, 0.0,
          std::nextafter(kStart, 0.0), NSDate::distantPast().timeIntervalSinceReferenceDate(),
          NSDate::distantFuture().timeIntervalSinceReferenceDate()}) {
        EXPECT_EQ(roundTrip(NSDate(seconds)).dateValue(), NSDate(seconds)) << std::to_string(seconds);
    }
    EXPECT_NE(written(NSDate::distantPast()).find("0001-01-01T00:00:00Z"), std::string::npos);
    EXPECT_NE(written(NSDate(-0.5)).find("2000-12-31T23:59:59.5Z"), std::string::npos);
}

TEST(PropertyListDates, FractionsWithTrailingZerosReadLikeTheirShortForm) {
    // Before 2001 the fraction is read as its distance to the next second; a last digit 0 must not
    // turn into 10 there.
    const std::pair<const char*, const char*> cases[] = {
        {"2000-01-01T00:00:00.50Z", "2000-01-01T00:00:00.5Z"},
        {"1999-12-31T23:59:59.250Z", "1999-12-31T23:59:59.25Z"},
        {"1970-01-01T00:00:00.1000Z", "1970-01-01T00:00:00.1Z"},
        {"0001-01-01T00:00:00.900Z", "0001-01-01T00:00:00.9Z"},
        {"2000-12-31T23:59:59.000Z", "2000-12-31T23:59:59Z"},
        {"2026-03-02T09:00:00.250Z", "2026-03-02T09:00:00.25Z"},
    };
    for (const auto& [longForm, shortForm] : cases) {
        const Value date = parsed(plist(std::string("<date>") + longForm + "</date>"));
        EXPECT_EQ(date, parsed(plist(std::string("<date>") + shortForm + "</date>"))) << longForm;
        EXPECT_NE(written(date).find(shortForm), std::string::npos) << longForm;
    }
}

TEST(PropertyListDates, WhatIsReadIsWrittenBackEqualOrRefusedUpFront) {
    // The fraction rounds up to the first instant of year 10000, which has no form to be written in.
    EXPECT_FALSE(PropertyList::parse(plist("<date>9999-12-31T23:59:59.99999Z</date>")));
    EXPECT_FALSE(PropertyList::parse(plist("<dict><key>d</key><date>9999-12-31T23:59:59.99999Z</date></dict>")));
    const Value last = parsed(plist("<date>9999-12-31T23:59:59.9999Z</date>"));
    EXPECT_EQ(parsed(written(last)), last);
    EXPECT_EQ(written(parsed(written(last))), written(last));
}

TEST(PropertyListDates, DatesWithoutAFormAreRefusedNotDropped) {
    // Null entries are left out, as the format has no form for them; an unwritable date is an error
    // the writer's caller sees, so no key silently goes missing on the next write.
    EXPECT_EQ(roundTrip(Value::Dictionary{{"null", Value()}, {"kept", 1}, {"list", Value::Array{Value(), 2}}}),
              Value(Value::Dictionary{{"kept", 1}, {"list", Value::Array{2}}}));
    for (const Value& unwritable :
         {Value(NSDate(std::nan(""))), Value(Value::Dictionary{{"kept", 1}, {"far", NSDate(1e15)}}),
          Value(Value::Array{2, NSDate(INFINITY)})}) {
        std::string error;
        EXPECT_FALSE(PropertyList::serialize(unwritable, &error));
        EXPECT_NE(error.find("no ISO 8601 form"), std::string::npos) << error;
    }
}

TEST(PropertyListParse, ReadsHandWrittenFilesWithLayoutCommentsAndCdata) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE plist>\r\n<plist version=\"1.0\">\r\n"
        "<!-- settings -->\r\n<dict>\r\n\t<key>data</key>\r\n\t<data>\r\n\tAAEC\r\n\tAw==\r\n\t</data>\r\n"
        "\t<key>cdata</key><string><![CDATA[<raw & kept>]]> &#x1F345;</string>\r\n"
        "\t<key>unpadded</key><data>AAE</data>\r\n"
        "\t<key>n</key><integer> 12 </integer>\r\n</dict>\r\n</plist>\r\n";
    EXPECT_EQ(parsed(xml), Value(Value::Dictionary{{"data", Value::Data{0, 1, 2, 3}},
                                                   {"cdata", "<raw & kept> 🍅"},
                                                   {"unpadded", Value::Data{0, 1}},
                                                   {"n", 12}}));
}

TEST(PropertyListParse, MalformedInputIsRefusedWithAReason) {
    std::string deep;
    for (int i = 0; i <= PropertyList::kMaxDepth; ++i) deep += "<array>";
    for (int i = 0; i <= PropertyList::kMaxDepth; ++i) deep += "</array>";
    deep = plist(deep);
    const std::pair<const char*, std::string> cases[] = {
        {"not xml", "this is not a property list"},
        {"unclosed element", plist("<dict><key>a</key><string>b</string>")},
        {"mismatched tags", plist("<string>a</integer>")},
        {"empty input", ""},
        {"two top-level values", plist("<true/><false/>")},
        {"integer with letters", plist("<integer>12a</integer>")},
        {"integer beyond 64 bits", plist("<integer>18446744073709551616</integer>")},
        {"real out of range", plist("<real>1e999</real>")},
        {"base64 stray character", plist("<data>AA*A</data>")},
        {"base64 padding inside", plist("<data>AA==AA==</data>")},
        {"date February 30", plist("<date>2026-02-30T00:00:00Z</date>")},
        {"date with offset", plist("<date>2026-03-02T09:00:00+01:00</date>")},
        {"key without value", plist("<dict><key>a</key></dict>")},
        {"two keys in a row", plist("<dict><key>a</key><key>b</key><true/></dict>")},
        {"unknown entity", plist("<string>&bogus;</string>")},
        {"reference to a surrogate", plist("<string>&#xD800;</string>")},
        {"bad value deep inside",
         plist("<array><dict><key>k</key><array><integer>x</integer></array></dict></array>")},
        {"nesting deeper than 512", deep},
    };
    for (const auto& [name, xml] : cases) {
        std::string error;
        EXPECT_FALSE(PropertyList::parse(xml, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
}

TEST(PropertyListParse, NestingUpToTheLimitIsRead) {
    EXPECT_EQ(roundTrip(nested(PropertyList::kMaxDepth)), nested(PropertyList::kMaxDepth));
}

TEST(PropertyListFiles, AtomicWriteCreatesFoldersAndLeavesNoTemporaryFile) {
    quorvel::testing::TempDataRoot root;
    const auto file = root.path() / "a" / "b" / "settings.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, Value::Dictionary{{"k", 1}}));
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, Value::Dictionary{{"k", 2}}));
    EXPECT_EQ(PropertyList::readFile(file), Value(Value::Dictionary{{"k", 2}}));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(PropertyListFiles, AFailedWriteReportsFalseAndKeepsTheOldFile) {
    quorvel::testing::TempDataRoot root;
    const auto file = root.path() / "settings.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, Value::Dictionary{{"k", 1}}));

    // Too deep to be read back: writing it would only make a file that is refused later.
    EXPECT_FALSE(PropertyList::writeFileAtomically(file, nested(PropertyList::kMaxDepth + 1)));
    EXPECT_EQ(PropertyList::readFile(file), Value(Value::Dictionary{{"k", 1}}));
    EXPECT_FALSE(PropertyList::writeFileAtomically(file, Value::Dictionary{{"k", 2}, {"d", NSDate(1e15)}}));
    EXPECT_EQ(PropertyList::readFile(file), Value(Value::Dictionary{{"k", 1}}));

    std::ofstream(root.path() / "plain-file") << "x";
    EXPECT_FALSE(PropertyList::writeFileAtomically(root.path() / "plain-file" / "x.plist", 1));
}
