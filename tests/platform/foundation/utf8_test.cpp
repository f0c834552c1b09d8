#include <gtest/gtest.h>

#include <string>

#include "platform/foundation/utf8.h"

using namespace platform;

TEST(Utf8, DecodesEveryLengthAndEncodesItBack) {
    const std::string text = "a\u00e9\u20ac\U0001F600";
    const auto points = decodeUtf8(text);
    ASSERT_TRUE(points);
    EXPECT_EQ(*points, (std::u32string{U'a', 0xE9, 0x20AC, 0x1F600}));
    std::string again;
    for (char32_t point : *points) appendUtf8(again, point);
    EXPECT_EQ(again, text);
}

TEST(Utf8, RefusesMalformedText) {
    const std::string malformed[] = {
        "\x80",              // a continuation byte alone
        "\xC3",              // cut short at the end
        "\xE2\x82",          // cut short inside
        "\xC0\xAF",          // overlong
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xFF",              // never valid
        "ok\xC3(",           // bad continuation
    };
    for (const auto& text : malformed) EXPECT_FALSE(isValidUtf8(text)) << testing::PrintToString(text);
    EXPECT_TRUE(isValidUtf8(""));
}
