#include <gtest/gtest.h>

#include "platform/foundation/ns_url.h"

using platform::NSURL;

TEST(NSURLParsing, OnlyTextThatFormsAnAddressMakesOne) {
    for (const char* text : {"https://example.org/p?id=1&type=Purple+Software", "mailto:help@example.org",
                             "relative/path:colon", "/a%20b#part"}) {
        EXPECT_EQ(NSURL::URLWithString(text)->absoluteString(), text);
    }
    EXPECT_EQ(NSURL::URLWithString("ITMS-Apps://example.org")->scheme(), "itms-apps");
    EXPECT_EQ(NSURL::URLWithString("relative/path:colon")->scheme(), "") << "a slash comes before the colon";
    for (const char* text : {"", "two words", "https://example.org/\xC3\xA9", "100%", "a%2", "%zz", ":x",
                             "1http://example.org", "h_t://example.org"}) {
        EXPECT_FALSE(NSURL::URLWithString(text)) << text;
    }
}
