#include <gtest/gtest.h>

#include "platform/foundation/ns_url.h"

using platform::NSURL;

TEST(NSURLParsing, AddressesWithAndWithoutASchemeAreKeptAsWritten) {
    for (const char* text : {"https://example.org/privacy?id=1&type=Purple+Software", "mailto:help@example.org",
                             "itms-apps://example.org/app", "relative/path", "/a%20b#part"}) {
        const auto url = NSURL::URLWithString(text);
        ASSERT_TRUE(url) << text;
        EXPECT_EQ(url->absoluteString(), text);
    }
    EXPECT_EQ(NSURL::URLWithString("HTTPS://example.org")->scheme(), "https");
    EXPECT_EQ(NSURL::URLWithString("itms-apps://example.org")->scheme(), "itms-apps");
    EXPECT_EQ(NSURL::URLWithString("relative/path:with-colon")->scheme(), "") << "a slash before the colon";
}

TEST(NSURLParsing, TextThatFormsNoAddressMakesNone) {
    for (const char* text : {"", "two words", "https://example.org/\xC3\xA9", "100%", "%zz", "a%2", ":nothing",
                             "1http://example.org", "ht tp://example.org", "h_t://example.org"}) {
        EXPECT_FALSE(NSURL::URLWithString(text)) << text;
    }
}
