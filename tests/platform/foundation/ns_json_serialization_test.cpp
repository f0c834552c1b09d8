#include <gtest/gtest.h>

#include <limits>

#include "platform/foundation/clock.h"
#include "platform/foundation/json_lines_file.h"
#include "platform/foundation/ns_json_serialization.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

TEST(NSJSONSerialization, EveryValueKindBecomesJSON) {
    const Value::Dictionary value{
        {"text", "quote \" back \\ line\n tab\t bell\x07 gr\xC3\xBCn"},
        {"numbers", Value::Array{Value(-3), Value(std::numeric_limits<std::uint64_t>::max()), Value(0.1), Value(true)}},
        {"odd", Value::Array{Value(std::numeric_limits<double>::quiet_NaN()), Value(),
                             Value(Value::Data{0xDE, 0xAD}), Value(NSDate::dateWithTimeIntervalSince1970(2.5))}},
        {"empty", Value::Dictionary{}},
    };
    EXPECT_EQ(NSJSONSerialization::dataWithJSONObject(value),
              R"({"empty":{},"numbers":[-3,18446744073709551615,0.10000000000000001,true],)"
              R"("odd":[null,null,"3q0=",2.5],"text":"quote \" back \\ line\n tab\t bell\u0007 gr)"
              "\xC3\xBC"
              R"(n"})");
}

TEST(JSONLinesFile, RecordsAreStampedAndAppendedUnderTheDataRoot) {
    quorvel::testing::TempDataRoot root;
    auto clock = VirtualClock::install();
    JSONLinesFile file("Library/Logs/records.jsonl");
    EXPECT_TRUE(file.lines().empty());
    EXPECT_TRUE(file.append({{"n", 1}}));
    clock->advance(1.5);
    EXPECT_TRUE(file.append({{"n", 2}, {"time", "given"}}));
    EXPECT_EQ(file.path(), root.path() / "Library/Logs/records.jsonl");
    const auto start = static_cast<std::int64_t>(NSDate::now().timeIntervalSince1970() * 1000) - 1500;
    EXPECT_EQ(file.lines(), (std::vector<std::string>{R"({"n":1,"time":)" + std::to_string(start) + "}",
                                                      R"({"n":2,"time":)" + std::to_string(start + 1500) + "}"}));
}
