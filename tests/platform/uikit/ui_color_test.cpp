#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "platform/quartzcore/ca_value.h"
#include "platform/uikit/drawing/ns_keyed_archiver.h"
#include "platform/uikit/drawing/ns_keyed_unarchiver.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/drawing/ui_image.h"

using namespace platform;

namespace {
std::vector<std::uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}
std::string string(const std::vector<std::uint8_t>& data) {
    return {data.begin(), data.end()};
}
// The components as getRed answers them; nothing if it refuses.
std::optional<std::array<double, 4>> rgba(const std::shared_ptr<UIColor>& color) {
    std::array<double, 4> c{};
    if (!color->getRed(&c[0], &c[1], &c[2], &c[3])) return std::nullopt;
    return c;
}
}  // namespace

TEST(UIColorComponents, SinglePrecisionClampedAndWhiteReadsAsGreyButNotBack) {
    const double g = static_cast<double>(64.0f / 255.0f);
    EXPECT_NE(g, 64 / 255.0);
    EXPECT_EQ(rgba(UIColor::colorWithRed(255 / 255.0, 64 / 255.0, 64 / 255.0, 1)),
              (std::array{1.0, g, g, 1.0}));
    double w = 0, a = 0;
    ASSERT_TRUE(UIColor::colorWithWhite(0.9803921568627451, 0.18)->getWhite(&w, &a));
    EXPECT_EQ(w, static_cast<double>(0.9803921568627451f));
    EXPECT_EQ(a, static_cast<double>(0.18f));
    EXPECT_EQ(rgba(UIColor::colorWithRed(1.5, -0.2, std::nan(""), 2)), (std::array{1.0, 0.0, 0.0, 1.0}));

    EXPECT_EQ(rgba(UIColor::colorWithWhite(0.25, 0.5)), (std::array{0.25, 0.25, 0.25, 0.5}));
    w = -1;
    EXPECT_FALSE(UIColor::redColor()->getWhite(&w, &a));
    EXPECT_EQ(w, -1);  // untouched
}

TEST(UIColorHsb, RoundTripsThroughRgbHueWrapsAndGreyHasNoHue) {
    // Hue 0.6, saturation 0.5, brightness 0.8 → RGB (0.4, 0.56, 0.8) by hand.
    auto color = UIColor::colorWithHue(0.6, 0.5, 0.8, 0.3);
    const std::array<double, 4> expected{0.4, 0.56, 0.8, static_cast<double>(0.3f)};
    double h = 0, s = 0, v = 0, a = 0;
    ASSERT_TRUE(color->getHue(&h, &s, &v, &a));
    const std::array<double, 4> hsba{h, s, v, a}, hsbaExpected{0.6, 0.5, 0.8, expected[3]};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR((*rgba(color))[i], expected[i], 1e-6) << i;
        EXPECT_NEAR(hsba[i], hsbaExpected[i], 1e-6) << i;
    }
    EXPECT_TRUE(*UIColor::colorWithHue(1.0, 1, 1, 1) == *UIColor::redColor());
    EXPECT_TRUE(*UIColor::colorWithHue(2.0 / 3.0, 1, 1, 1) == *UIColor::blueColor());
    ASSERT_TRUE(UIColor::grayColor()->getHue(&h, &s, &v, nullptr));
    EXPECT_EQ((std::array{h, s, v}), (std::array{0.0, 0.0, 0.5}));
}

TEST(UIColorEquality, ComparesSpaceAndComponentsAndWithAlphaKeepsTheSpace) {
    EXPECT_TRUE(UIColor::clearColor()->isEqual(UIColor::colorWithWhite(0, 0)));
    EXPECT_FALSE(UIColor::clearColor()->isEqual(UIColor::colorWithRed(0, 0, 0, 0)));
    EXPECT_FALSE(UIColor::whiteColor()->isEqual(UIColor::colorWithRed(1, 1, 1, 1)));
    EXPECT_FALSE(UIColor::whiteColor()->isEqual(nullptr));
    // Values that differ only beyond single precision are the same colour.
    EXPECT_TRUE(UIColor::colorWithWhite(0.5, 1)->isEqual(UIColor::colorWithWhite(0.5 + 1e-12, 1)));

    EXPECT_TRUE(
        UIColor::blackColor()->colorWithAlphaComponent(0.3)->isEqual(UIColor::colorWithWhite(0, 0.3)));
    EXPECT_TRUE(
        UIColor::redColor()->colorWithAlphaComponent(0.7)->isEqual(UIColor::colorWithRed(1, 0, 0, 0.7)));
    EXPECT_EQ(UIColor::redColor()->alpha(), 1.0);  // the original is unchanged
}

TEST(UIColorPattern, KeepsItsImageAndHasNoComponentsOrArchive) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 2);
    auto tile = std::make_shared<UIImage>(surface, 1);  // takes its own reference
    cairo_surface_destroy(surface);
    auto pattern = UIColor::colorWithPatternImage(tile);
    ASSERT_TRUE(pattern);
    EXPECT_EQ(pattern->patternImage(), tile);
    EXPECT_EQ(pattern->colorWithAlphaComponent(0.5)->patternImage(), tile);
    EXPECT_FALSE(pattern->getRed(nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(*pattern == *UIColor::blackColor());
    EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(pattern).empty());
    EXPECT_FALSE(UIColor::colorWithPatternImage(nullptr));
}

TEST(AnimationValues, PatternColoursSwitchHalfwayInsteadOfBlending) {
    UIGraphicsBeginImageContextWithOptions({2, 2}, false, 1);
    const auto tile = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    const CGColorRef pattern = UIColor::colorWithPatternImage(tile);
    const CGColorRef red = UIColor::redColor();
    // A pattern has no components to blend.
    EXPECT_EQ(CAValue::interpolate(pattern, red, 0.25).toColor(), pattern);
    EXPECT_EQ(CAValue::interpolate(pattern, red, 0.75).toColor(), red);
    EXPECT_EQ(CAValue::interpolate(red, pattern, 0.75).toColor(), pattern);
}

TEST(UIColorArchive, RoundTripsEveryColourExactly) {
    const std::shared_ptr<UIColor> colors[] = {
        UIColor::colorWithRed(255 / 255.0, 64 / 255.0, 64 / 255.0, 1),
        UIColor::colorWithRed(106 / 255.0, 130 / 255.0, 238 / 255.0, 1),
        UIColor::colorWithWhite(0.9803921568627451, 0.18),
        UIColor::colorWithHue(0.123456789, 0.87654321, 0.333333333, 0.999999),
        UIColor::clearColor(),
    };
    for (const auto& color : colors) {
        auto data = NSKeyedArchiver::archivedDataWithRootObject(color);
        auto back = NSKeyedUnarchiver::unarchiveColor(data);
        ASSERT_NE(back, nullptr) << string(data);
        EXPECT_TRUE(back->isEqual(color)) << string(data);
        EXPECT_EQ(back->colorSpace(), color->colorSpace());
    }
}

TEST(UIColorArchive, WritesTheDocumentedDocument) {
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>archiver</key>\n\t<string>NSKeyedArchiver</string>\n"
        "\t<key>class</key>\n\t<string>UIColor</string>\n"
        "\t<key>colorSpace</key>\n\t<string>white</string>\n"
        "\t<key>components</key>\n\t<array>\n\t\t<real>0.5</real>\n\t\t<real>1</real>\n\t</array>\n"
        "\t<key>version</key>\n\t<integer>1</integer>\n"
        "</dict>\n</plist>\n";
    EXPECT_EQ(string(NSKeyedArchiver::archivedDataWithRootObject(UIColor::grayColor())), expected);
    EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(nullptr).empty());
}

TEST(UIColorArchive, ReadsAHandWrittenArchiveWithDifferentLayout) {
    auto color = NSKeyedUnarchiver::unarchiveColor(bytes(
        "<?xml version=\"1.0\"?><!DOCTYPE plist><plist version=\"1.0\"><dict>"
        "<key>version</key><integer>1</integer><key>components</key><array><integer>1</integer>"
        "<real> 0.5 </real><real>0</real><real>1</real></array><key>colorSpace</key><string>rgb</string>"
        "<key>class</key><string>UIColor</string><key>extra</key><dict/></dict></plist>"));
    ASSERT_NE(color, nullptr);
    EXPECT_TRUE(color->isEqual(UIColor::orangeColor()));
}

TEST(UIColorArchive, RefusesForeignAndDamagedBytes) {
    const auto good = string(NSKeyedArchiver::archivedDataWithRootObject(UIColor::redColor()));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        s.replace(s.find(from), from.size(), to);
        return bytes(s);
    };
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveColor({}), nullptr);
    for (std::size_t cut : {std::size_t{1}, good.size() / 3, good.size() / 2, good.size() - 12}) {
        EXPECT_EQ(NSKeyedUnarchiver::unarchiveColor(bytes(good.substr(0, cut))), nullptr) << cut;
    }
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveColor(bytes("bplist00\x01\x02\x03")), nullptr);
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveColor(std::vector<std::uint8_t>{0xff, 0xfe, 0, 0, 0x3c}), nullptr);
    const std::pair<std::string, std::string> damages[] = {
        {"UIColor", "UIFont"},
        {">rgb<", ">cmyk<"},
        {"<integer>1<", "<integer>2<"},
        {"<real>0</real>", "<real>nan</real>"},
        {"<real>0</real>", "<real>0x</real>"},
        {"<real>0</real>", "<string>0</string>"},
        {"<real>0</real>", ""},                              // three components
        {"<real>1</real>", "<real>1</real><real>1</real>"},  // five
        {"\t<key>class</key>\n", ""},
    };
    for (const auto& [from, to] : damages) {
        EXPECT_EQ(NSKeyedUnarchiver::unarchiveColor(replaced(from, to)), nullptr) << from << " -> " << to;
    }
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveColor(
                  std::vector<std::uint8_t>(NSKeyedUnarchiver::kMaxArchiveSize + 1, ' ')),
              nullptr);
}
