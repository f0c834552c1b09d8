#include "platform/foundation/binary_property_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>

#include "platform/foundation/property_list.h"
#include "tests/support/python_plist_reader.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using namespace std::string_literals;
using quorvel::testing::PythonPlistReader;

namespace {

// A file by hand: the header, `objects` laid end to end, their offset table (one byte each) and the
// trailer naming the first object as the top.
std::string handMade(const std::vector<std::string>& objects, unsigned refWidth = 1) {
    std::string file = "bplist00";
    std::string table;
    for (const auto& object : objects) {
        table += static_cast<char>(file.size());
        file += object;
    }
    const auto tableOffset = file.size();
    file += table;
    file.append(6, '\0');
    file += '\1';
    file += static_cast<char>(refWidth);
    const auto eight = [&](std::uint64_t n) {
        for (int i = 7; i >= 0; --i) file += static_cast<char>((n >> (8 * i)) & 0xFF);
    };
    eight(objects.size());
    eight(0);
    eight(tableOffset);
    return file;
}

std::optional<Value> read(const std::string& bytes, std::string* error = nullptr) {
    return PropertyList::parse(bytes, error);
}

std::string binary(const Value& value) {
    return PropertyList::serializeBinary(value).value_or("");
}

}  // namespace

TEST(BinaryPropertyListReading, ReadsWhatOtherWritersWrite) {
    // Shared objects (a key used twice), a count that follows the marker, a 4-byte real, a 16-byte
    // integer, a UTF-16 string with a pair of surrogates.
    const std::string fifteen = "abcdefghijklmno";
    const auto file = handMade({
        "\xA4\x01\x02\x03\x05"s,
        "\xD1\x04\x06"s,
        "\xD1\x04\x07"s,
        "\x22\x3F\xC0\x00\x00"s,
        "\x5F\x10\x0F" + fifteen,
        "\x14\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x80\x00\x00\x00\x00\x00\x00\x00"s,
        "\x63\x00\x41\xD8\x3C\xDF\x45"s,
        "\x14\x00\x00\x00\x00\x00\x00\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s,
    });
    std::string error;
    const auto value = read(file, &error);
    ASSERT_TRUE(value) << error;
    EXPECT_EQ(*value, Value(Value::Array{
                          Value::Dictionary{{fifteen, "A🍅"}},
                          Value::Dictionary{{fifteen, std::numeric_limits<std::uint64_t>::max()}},
                          1.5,
                          std::numeric_limits<std::int64_t>::min(),
                      }));
}

TEST(BinaryPropertyListReading, RefusesMalformedAndHostileInput) {
    const auto refused = [](const std::string& bytes, const std::string& why) {
        std::string error;
        EXPECT_FALSE(read(bytes, &error)) << why;
        EXPECT_FALSE(error.empty()) << why;
    };
    const std::string good = binary(Value::Dictionary{{"k", Value::Array{1, "two"}}});
    ASSERT_TRUE(read(good));
    for (std::size_t cut = 8; cut < good.size(); cut += 3) refused(good.substr(0, cut), "cut short");
    refused("bplist00" + std::string(32, '\0'), "no objects");
    refused(handMade({"\xA1\x05"s}), "a reference to no object");
    refused(handMade({"\xA1\x00"s}), "an array that holds itself");
    refused(handMade({"\xA1\x01"s, "\xA1\x00"s}), "a cycle through two arrays");
    refused(handMade({"\xD1\x01\x02"s, "\x10\x01"s, "\x10\x02"s}), "a key that is not a string");
    refused(handMade({"\x5F\x10\x7F"
                      "abc"s}),
            "a length past the end");
    refused(handMade({"\x51\xC3"s}), "a byte beyond ASCII");
    refused(handMade({"\x61\xD8\x3C"s}), "an unpaired surrogate");
    refused(handMade({"\x70"s}), "an unknown type");
    refused(handMade({"\x15" + std::string(32, '\0')}), "a 32-byte integer");
    refused(handMade({"\x14\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00"s}),
            "beyond 64 bits");
    refused(handMade({"\x33\x7F\xF8\x00\x00\x00\x00\x00\x00"s}), "a date that is not a number");
    // Each array holds the next twice: 2^40 items from 41 objects.
    std::vector<std::string> doubling;
    for (char i = 1; i <= 40; ++i) doubling.push_back(std::string("\xA2") + i + i);
    doubling.push_back("\x10\x01"s);
    refused(handMade(doubling), "an expansion beyond the budget");
    std::string corrupt = good;
    corrupt[corrupt.size() - 26] = 3;  // an offset width the format does not have
    refused(corrupt, "a bad trailer");
    corrupt = good;
    corrupt[corrupt.size() - 8] = 1;  // the offset table far beyond the end
    refused(corrupt, "an offset table outside the file");
    corrupt = good;
    corrupt[static_cast<unsigned char>(good.back())] = static_cast<char>(0xFF);  // the top object's offset
    refused(corrupt, "an object outside the objects");
}

TEST(BinaryPropertyListReading, NestingIsBoundedLikeXml) {
    const auto nested = [](int depth) {
        Value value = 1;
        for (int i = 0; i < depth; ++i) value = Value::Array{value};
        return value;
    };
    EXPECT_EQ(read(BinaryPropertyList::serialize(nested(PropertyList::kMaxDepth))),
              nested(PropertyList::kMaxDepth));
    EXPECT_FALSE(read(BinaryPropertyList::serialize(nested(PropertyList::kMaxDepth + 1))));
}

TEST(BinaryPropertyListWriting, LargeFilesUseWiderReferencesAndOffsets) {
    Value::Array many;
    for (int i = 0; i < 70000; ++i) many.push_back(i % 3 ? Value(std::to_string(i)) : Value(i * 1000003LL));
    const Value value(Value::Dictionary{{"many", many}});
    const auto bytes = binary(value);
    EXPECT_EQ(bytes[bytes.size() - 26], 4);  // offsets beyond 64 KiB
    EXPECT_EQ(bytes[bytes.size() - 25], 4);  // more than 65535 objects
    EXPECT_EQ(read(bytes), value);
}

// Many records of one kind (a change file's) cost their keys and repeated values once.
TEST(BinaryPropertyListWriting, RepeatedKeysAndValuesAreWrittenOnce) {
    Value::Dictionary record{{"device", "6F9619FF-8B86-D011-B42D-00C04FC964FF"}, {"at", NSDate(818'000'000.5)}};
    Value::Array records;
    for (int i = 0; i < 1000; ++i) {
        record.insert_or_assign("identifier", std::string("record-").append(std::to_string(i)));
        records.emplace_back(record);
    }
    const Value value(records);
    const auto bytes = binary(value);
    EXPECT_LT(bytes.size(), 1000u * 32);  // each record's own name, its dictionary and their offsets
    EXPECT_EQ(read(bytes), value);
    if (!PythonPlistReader::available()) return;
    quorvel::testing::TempDataRoot root;
    const auto file = root.path() / "shared.plist";
    std::ofstream(file, std::ios::binary) << bytes;
    std::string error, difference;
    const auto python = PythonPlistReader::listing(file, &error);
    ASSERT_TRUE(python) << error;
    EXPECT_TRUE(PythonPlistReader::same(*python, PythonPlistReader::listing(value), &difference)) << difference;
}

TEST(BinaryPropertyListWriting, StringsThatAreNotUtf8AreRefusedUpFront) {
    std::string error;
    EXPECT_FALSE(PropertyList::serializeBinary(Value::Array{"ok", "\xFF"}, &error));
    EXPECT_EQ(error, "a string that is not UTF-8");
    EXPECT_FALSE(PropertyList::isWritable(Value::Dictionary{{"\xC3", 1}}));
    EXPECT_TRUE(PropertyList::serialize(Value("\xFF")));  // XML text keeps its bytes as before
}

// plistlib, a strict reader, reads what we write with every value equal, and we read what it writes.
TEST(BinaryPropertyListInterchange, PlistlibAndOurReaderAgree) {
    if (!PythonPlistReader::available())
        GTEST_SKIP() << "python3 is not installed; tools/setup.sh installs it";
    quorvel::testing::TempDataRoot root;
    const Value original(Value::Dictionary{
        {"int64 min", std::numeric_limits<std::int64_t>::min()},
        {"int64 max", std::numeric_limits<std::int64_t>::max()},
        {"uint64 max", std::numeric_limits<std::uint64_t>::max()},
        {"small", Value::Array{0, 255, 256, 65536, -1}},
        {"reals", Value::Array{0.1, -0.0, 1e308, std::numeric_limits<double>::denorm_min()}},
        {"dates", Value::Array{NSDate(818'000'000.1234567), NSDate(-0.000001), NSDate(0)}},
        {"Schlüssel 🍅", "ünïcödé ✓ \0 nul"s},
        {"data", Value::Data{0, 255, 7}},
        {"flags", Value::Array{true, false}},
        {"nested", Value::Array{Value::Dictionary{}, Value::Array{}}},
    });
    const auto file = root.path() / "ours.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, original));
    std::string error;
    const auto python = PythonPlistReader::listing(file, &error);
    ASSERT_TRUE(python) << error;
    std::string difference;
    EXPECT_TRUE(PythonPlistReader::same(*python, PythonPlistReader::listing(original), &difference))
        << difference;

    const auto theirs = root.path() / "theirs.plist";
    const std::string write =
        "/usr/bin/python3 -c 'import plistlib, datetime, sys; "
        "v = {\"k\": [1, -2, 2**64 - 1, 0.5, \"x\", \"é\", b\"\\x01\", True, "
        "datetime.datetime(2026, 3, 2, 9, 0, 0, 250000)] * 3, \"d\": {}}; "
        "plistlib.dump(v, open(sys.argv[1], \"wb\"), fmt=plistlib.FMT_BINARY)' '" +
        theirs.string() + "'";
    ASSERT_EQ(std::system(write.c_str()), 0);
    const auto ours = PropertyList::readFile(theirs, &error);
    ASSERT_TRUE(ours) << error;
    const auto listed = PythonPlistReader::listing(theirs, &error);
    ASSERT_TRUE(listed) << error;
    EXPECT_TRUE(PythonPlistReader::same(*listed, PythonPlistReader::listing(*ours), &difference))
        << difference;
}
