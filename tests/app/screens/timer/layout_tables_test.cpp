#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/screens/timer/carousel_sizing.h"
#include "app/screens/timer/progress_ring_side.h"
#include "app/screens/timer/timer_content_holder.h"
#include "tests/app/screens/timer/emulated_device.h"

namespace quorvel {
namespace {

using namespace platform;
using Fractions = std::optional<std::vector<CGFloat>>;

// The sensor reading, and whether the screen is turned sideways (lying flat leaves it as it was).
struct Pose {
    const char* name;
    UIDeviceOrientation sensor;
    bool screenSideways;
};
const Pose kPoses[] = {{"portrait", UIDeviceOrientation::portrait, false},
                       {"upside down", UIDeviceOrientation::portraitUpsideDown, false},
                       {"landscape left", UIDeviceOrientation::landscapeLeft, true},
                       {"landscape right", UIDeviceOrientation::landscapeRight, true},
                       {"face up", UIDeviceOrientation::faceUp, false},
                       {"face up on a sideways screen", UIDeviceOrientation::faceUp, true},
                       {"face down", UIDeviceOrientation::faceDown, false},
                       {"unknown on a sideways screen", UIDeviceOrientation::unknown, true}};
const Split kSplits[] = {Split::fullSize, Split::oneThird, Split::oneHalf, Split::twoThirds};

struct Ticks {
    CGFloat main, sub, spacing;
};
enum class Kind { phone, notchedPhone, pad, neither };

// One model's rows. Ring sides and ticks by column: full screen landscape and portrait, a third landscape
// and portrait, a half, two thirds landscape and portrait (a phone's ticks take the full-screen columns at
// any split). The ring's landscape is the sensor's, the ticks' the screen's.
struct Model {
    std::string name;
    Kind kind;
    std::array<CGFloat, 7> ring;
    std::array<Ticks, 7> ticks;
    CGFloat fade, fadeAtAThird;
};

Model phone(const char* name, Kind kind, CGFloat ring, Ticks sideways, Ticks standing) {
    return {name, kind, {ring, ring, 114, 114, 114, 114, 114}, {sideways, standing}, 0, 0};
}
const std::array<Ticks, 7> kOtherTabletTicks = {
    {{67, 32, 30}, {87, 40.8, 35.4}, {48, 23, 16}, {66, 32, 26}, {66, 32, 26}, {66, 32, 26}, {49, 23.5, 16}}};
const std::array<Ticks, 7> kTwelveNineTicks = {
    {{77, 36, 39}, {100, 48, 47}, {48, 23, 22}, {77, 36, 36}, {77, 36, 36}, {77, 36, 36}, {70, 33.5, 21.5}}};
const std::array<CGFloat, 7> kTwelveNineRing = {177.6, 225.3, 131, 156, 156, 156, 156};
const Ticks kOtherPhone{42, 20, 20};

// clang-format off
const std::vector<Model> kNamedModels = {
    phone("iPhone4s", Kind::phone, 118, kOtherPhone, kOtherPhone),
    phone("iPhoneSE", Kind::phone, 118, kOtherPhone, kOtherPhone),
    phone("iPhone8", Kind::phone, 118, kOtherPhone, kOtherPhone),
    phone("iPhone8Plus", Kind::phone, 131, {48, 20, 22}, {45, 21.5, 21.5}),
    phone("iPhoneX", Kind::notchedPhone, 118, {48, 23, 21.5}, {48, 23, 20}),
    phone("iPhoneXS", Kind::notchedPhone, 118, kOtherPhone, kOtherPhone),
    phone("iPhoneXR", Kind::notchedPhone, 118, kOtherPhone, kOtherPhone),
    phone("iPhoneXSMax", Kind::notchedPhone, 131, {48, 23, 21.5}, {48, 23, 21.5}),
    {"iPadPro9Inch", Kind::pad, {130, 170, 114, 114, 114, 114, 114}, kOtherTabletTicks, 60, 60},
    {"iPadPro10Inch", Kind::pad, {115.2, 144.6, 118, 133, 123, 123, 133},
     {{{67, 32, 30}, {96, 40.8, 35.3}, {48, 23, 20}, {66, 32, 30}, {66, 32, 26}, {66, 32, 26}, {49, 23.5, 16}}},
     60, 60},
    {"iPadPro11Inch", Kind::pad, {115.2, 183.5, 118, 133, 133, 133, 133},
     {{{67, 32, 20}, {96, 45.1, 37.3}, {48, 23, 20}, {66, 32, 30}, {66, 32, 31}, {66, 32, 31}, {49, 23.5, 16}}},
     60, 60},
    {"iPadPro12Inch", Kind::pad, kTwelveNineRing, kTwelveNineTicks, 120, 80},
    {"iPadPro12Inch2", Kind::pad, kTwelveNineRing, kTwelveNineTicks, 120, 80},
    {"iPadPro12Inch3", Kind::pad, kTwelveNineRing, kTwelveNineTicks, 120, 80},
};
// clang-format on

int column(Split split, bool sideways) {
    const int s = sideways ? 0 : 1;
    return split == Split::fullSize   ? s
           : split == Split::oneThird ? 2 + s
           : split == Split::oneHalf  ? 4
                                      : 5 + s;
}

Fractions expectedFractions(Kind kind, UIUserInterfaceIdiom idiom, bool sideways, Split split) {
    const bool full = split == Split::fullSize;
    if (!sideways && idiom == UIUserInterfaceIdiom::phone) return {{0.30, 0.10, 0.36, 0.24}};
    if (!sideways) return full ? Fractions{{0.32, 0.13, 0.35, 0.20}} : Fractions{{0.32, 0.08, 0.36, 0.24}};
    if (kind == Kind::pad)
        return full ? Fractions{{0.33, 0.15, 0.30, 0.22}} : Fractions{{0.30, 0.10, 0.36, 0.24}};
    if (kind == Kind::notchedPhone) return {{0.61, 0.39}};
    if (kind == Kind::phone) return {{0.65, 0.35}};
    return std::nullopt;
}

class TimerLayoutTables : public testing::EmulatedDevice {
protected:
    // The device now emulated, in every pose and split, against the model's rows.
    static void checkEveryPoseAndSplit(const Model& m) {
        const UIUserInterfaceIdiom idiom = DeviceProfile::current().idiom;
        const bool isPhone = m.kind == Kind::phone || m.kind == Kind::notchedPhone;
        for (const Pose& pose : kPoses) {
            UIDevice::currentDevice().setOrientation(pose.sensor);
            UIScreen::mainScreen().setInterfaceOrientation(pose.screenSideways
                                                               ? UIInterfaceOrientation::landscapeLeft
                                                               : UIInterfaceOrientation::portrait);
            const bool sideways = UIDeviceOrientationIsLandscape(pose.sensor);
            for (Split split : kSplits) {
                SCOPED_TRACE(m.name + ", " + pose.name + ", split " + std::to_string(int(split)));
                EXPECT_EQ(TimerContentHolder::heightFractions(pose.sensor, split),
                          expectedFractions(m.kind, idiom, sideways, split));
                EXPECT_EQ(ProgressRingSide::sideLength(pose.sensor, split), m.ring[column(split, sideways)]);
                const Ticks t = m.ticks[column(isPhone ? Split::fullSize : split, pose.screenSideways)];
                const CGFloat fade = isPhone                    ? (sideways ? 80 : 50)
                                     : split == Split::oneThird ? m.fadeAtAThird
                                                                : m.fade;
                const CarouselSizing expected{t.main, t.sub, t.spacing,
                                              idiom == UIUserInterfaceIdiom::pad ? 3.0 : 2.0, fade};
                EXPECT_EQ(CarouselSizing::compute(split), expected);
            }
        }
    }
};

TEST_F(TimerLayoutTables, EveryModelAndItsSimulatorInEveryPoseAndSplit) {
    for (const Model& m : kNamedModels) {
        for (bool simulator : {false, true}) {
            emulate(m.name, simulator);
            checkEveryPoseAndSplit(m);
        }
    }
}

TEST_F(TimerLayoutTables, ModelsNoProfileNamesTakeEachTablesFallbackRow) {
    emulateUnknown(DeviceFamily::phone, UIUserInterfaceIdiom::phone);
    checkEveryPoseAndSplit(phone("an unnamed phone", Kind::phone, 118, kOtherPhone, kOtherPhone));
    emulateUnknown(DeviceFamily::pad, UIUserInterfaceIdiom::pad);
    checkEveryPoseAndSplit(
        {"an unnamed tablet", Kind::pad, {130, 170, 114, 114, 114, 114, 114}, kOtherTabletTicks, 60, 60});
    // Neither phone nor pad: tablet ticks that never fade, the plain ring and no heights lying sideways;
    // the idiom alone makes the ticks wider.
    for (auto idiom : {UIUserInterfaceIdiom::pad, UIUserInterfaceIdiom::unspecified}) {
        emulateUnknown(DeviceFamily::other, idiom);
        checkEveryPoseAndSplit(
            {"neither", Kind::neither, {118, 118, 114, 114, 114, 114, 114}, kOtherTabletTicks, 0, 0});
    }
}

}  // namespace
}  // namespace quorvel
