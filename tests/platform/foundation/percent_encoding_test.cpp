#include "platform/foundation/percent_encoding.h"

#include <gtest/gtest.h>

using platform::percentEncode;

TEST(PercentEncoding, OnlyUnreservedAndKeptBytesStandAsTheyAre) {
    EXPECT_EQ(percentEncode("aZ09-._~"), "aZ09-._~");
    EXPECT_EQ(percentEncode("a b&c=d+e%f/g?h#i"), "a%20b%26c%3Dd%2Be%25f%2Fg%3Fh%23i");
    EXPECT_EQ(percentEncode("é\n"), "%C3%A9%0A");
    EXPECT_EQ(percentEncode("me@host,you", "@"), "me@host%2Cyou");
    EXPECT_EQ(percentEncode(std::string_view("\0\xff", 2)), "%00%FF");
}
