#include "platform/foundation/ns_uuid.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

using namespace platform;

TEST(UUIDString, IsUpperCaseVersionFourInEightFourFourFourTwelve) {
    for (int i = 0; i < 100; ++i) {
        const std::string text = NSUUID().UUIDString();
        ASSERT_EQ(text.size(), 36u);
        for (std::size_t c = 0; c < text.size(); ++c) {
            if (c == 8 || c == 13 || c == 18 || c == 23) {
                ASSERT_EQ(text[c], '-') << text;
            } else {
                ASSERT_TRUE(std::isxdigit(static_cast<unsigned char>(text[c])) &&
                            !std::islower(static_cast<unsigned char>(text[c])))
                    << text;
            }
        }
        EXPECT_EQ(text[14], '4') << text;
        EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos) << text;
    }
}

TEST(UUIDString, NewIdentifiersAreUnique) {
    std::set<std::string> seen;
    for (int i = 0; i < 10000; ++i) seen.insert(NSUUID::UUID().UUIDString());
    EXPECT_EQ(seen.size(), 10000u);
}

TEST(UUIDParsing, ReadsEitherCaseRoundTripsAndRefusesMalformedText) {
    const auto parsed = NSUUID::initWithUUIDString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->UUIDString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(parsed, NSUUID::initWithUUIDString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
    EXPECT_NE(parsed, NSUUID::initWithUUIDString("E621E1F8-C36C-495A-93FC-0C247A3E6E50"));
    const NSUUID fresh;
    EXPECT_EQ(NSUUID::initWithUUIDString(fresh.UUIDString()), fresh);
    for (const char* malformed : {"", "E621E1F8-C36C-495A-93FC-0C247A3E6E5", "E621E1F8C-36C-495A-93FC-0C247A3E6E5F",
                                  "G621E1F8-C36C-495A-93FC-0C247A3E6E5F"}) {
        EXPECT_FALSE(NSUUID::initWithUUIDString(malformed)) << malformed;
    }
}
