#include <gtest/gtest.h>

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

// How the device is held: the sensor reading, and whether the screen is turned sideways (lying flat
// leaves the screen as it was).
struct Pose {
    const char* name;
    UIDeviceOrientation sensor;
    bool screenLandscape;
};

const Pose kPoses[] = {
    {"portrait", UIDeviceOrientation::portrait, false},
    {"upside down", UIDeviceOrientation::portraitUpsideDown, false},
    {"landscape left", UIDeviceOrientation::landscapeLeft, true},
    {"landscape right", UIDeviceOrientation::landscapeRight, true},
    {"face up", UIDeviceOrientation::faceUp, false},
    {"face up, screen sideways", UIDeviceOrientation::faceUp, true},
    {"face down", UIDeviceOrientation::faceDown, false},
    {"unknown, screen sideways", UIDeviceOrientation::unknown, true},
};

const Split kSplits[] = {Split::fullSize, Split::oneThird, Split::oneHalf, Split::twoThirds};

struct Ticks {
    CGFloat main, sub, spacing;
};

enum class Kind { phone, notchedPhone, pad, neither };

// What one model gets: its kind for the section fractions, the ring side (full screen landscape and
// portrait; a third landscape and portrait; a half; two thirds landscape and portrait), the minute ring's
// ticks (the phone table on a phone, whatever the split) and its fade factor apart from the phones'.
struct Model {
    std::string name;
    Kind kind;
    CGFloat ring[7];
    Ticks full[2];  // landscape, portrait
    Ticks third[2];
    Ticks half;
    Ticks twoThirds[2];
    CGFloat fadeFull, fadeThird;
};

constexpr Ticks kOtherPhone{42, 20, 20};
constexpr CGFloat kPhoneRing[7] = {118, 118, 114, 114, 114, 114, 114};
constexpr CGFloat kLargePhoneRing[7] = {131, 131, 114, 114, 114, 114, 114};

Model phone(std::string name, Kind kind, const CGFloat (&ring)[7], Ticks landscape, Ticks portrait) {
    Model m{std::move(name), kind, {}, {landscape, portrait}, {landscape, portrait}, landscape,
            {landscape, portrait}, 0, 0};
    std::copy(std::begin(ring), std::end(ring), m.ring);
    return m;
}

// The rows of "any other" tablet, which the 9.7-inch model and unnamed tablets take.
Model otherTablet(std::string name, Kind kind, CGFloat fade, CGFloat ringFullLandscape, CGFloat ringFullPortrait,
                  CGFloat ringSplit) {
    return {std::move(name),
            kind,
            {ringFullLandscape, ringFullPortrait, ringSplit, ringSplit, ringSplit, ringSplit, ringSplit},
            {{67, 32, 30}, {87, 40.8, 35.4}},
            {{48, 23, 16}, {66, 32, 26}},
            {66, 32, 26},
            {{66, 32, 26}, {49, 23.5, 16}},
            fade,
            fade};
}

Model twelveNineInch(std::string name) {
    return {std::move(name),
            Kind::pad,
            {177.6, 225.3, 131, 156, 156, 156, 156},
            {{77, 36, 39}, {100, 48, 47}},
            {{48, 23, 22}, {77, 36, 36}},
            {77, 36, 36},
            {{77, 36, 36}, {70, 33.5, 21.5}},
            120,
            80};
}

std::vector<Model> namedModels() {
    return {
        phone("iPhone4s", Kind::phone, kPhoneRing, kOtherPhone, kOtherPhone),
        phone("iPhoneSE", Kind::phone, kPhoneRing, kOtherPhone, kOtherPhone),
        phone("iPhone8", Kind::phone, kPhoneRing, kOtherPhone, kOtherPhone),
        phone("iPhone8Plus", Kind::phone, kLargePhoneRing, {48, 20, 22}, {45, 21.5, 21.5}),
        phone("iPhoneX", Kind::notchedPhone, kPhoneRing, {48, 23, 21.5}, {48, 23, 20}),
        phone("iPhoneXS", Kind::notchedPhone, kPhoneRing, kOtherPhone, kOtherPhone),
        phone("iPhoneXR", Kind::notchedPhone, kPhoneRing, kOtherPhone, kOtherPhone),
        phone("iPhoneXSMax", Kind::notchedPhone, kLargePhoneRing, {48, 23, 21.5}, {48, 23, 21.5}),
        otherTablet("iPadPro9Inch", Kind::pad, 60, 130, 170, 114),
        {"iPadPro10Inch",
         Kind::pad,
         {115.2, 144.6, 118, 133, 123, 123, 133},
         {{67, 32, 30}, {96, 40.8, 35.3}},
         {{48, 23, 20}, {66, 32, 30}},
         {66, 32, 26},
         {{66, 32, 26}, {49, 23.5, 16}},
         60,
         60},
        {"iPadPro11Inch",
         Kind::pad,
         {115.2, 183.5, 118, 133, 133, 133, 133},
         {{67, 32, 20}, {96, 45.1, 37.3}},
         {{48, 23, 20}, {66, 32, 30}},
         {66, 32, 31},
         {{66, 32, 31}, {49, 23.5, 16}},
         60,
         60},
        twelveNineInch("iPadPro12Inch"),
        twelveNineInch("iPadPro12Inch2"),
        twelveNineInch("iPadPro12Inch3"),
    };
}

Fractions expectedFractions(Kind kind, UIUserInterfaceIdiom idiom, const Pose& pose, Split split) {
    const bool full = split == Split::fullSize;
    if (!UIDeviceOrientationIsLandscape(pose.sensor)) {
        if (idiom == UIUserInterfaceIdiom::phone) return {{0.30, 0.10, 0.36, 0.24}};
        return full ? Fractions{{0.32, 0.13, 0.35, 0.20}} : Fractions{{0.32, 0.08, 0.36, 0.24}};
    }
    switch (kind) {
        case Kind::pad:
            return full ? Fractions{{0.33, 0.15, 0.30, 0.22}} : Fractions{{0.30, 0.10, 0.36, 0.24}};
        case Kind::notchedPhone:
            return {{0.61, 0.39}};
        case Kind::phone:
            return {{0.65, 0.35}};
        default:
            return std::nullopt;
    }
}

CGFloat expectedRing(const Model& m, const Pose& pose, Split split) {
    const int l = UIDeviceOrientationIsLandscape(pose.sensor) ? 0 : 1;
    switch (split) {
        case Split::fullSize:
            return m.ring[l];
        case Split::oneThird:
            return m.ring[2 + l];
        case Split::oneHalf:
            return m.ring[4];
        default:
            return m.ring[5 + l];
    }
}

CarouselSizing expectedSizing(const Model& m, UIUserInterfaceIdiom idiom, const Pose& pose, Split split) {
    const int l = pose.screenLandscape ? 0 : 1;
    const bool isPhone = m.kind == Kind::phone || m.kind == Kind::notchedPhone;
    Ticks t = split == Split::fullSize || isPhone ? m.full[l]
              : split == Split::oneThird          ? m.third[l]
              : split == Split::oneHalf           ? m.half
                                                  : m.twoThirds[l];
    CGFloat fade = isPhone ? (UIDeviceOrientationIsLandscape(pose.sensor) ? 80 : 50)
                           : (split == Split::oneThird ? m.fadeThird : m.fadeFull);
    return {t.main, t.sub, t.spacing, idiom == UIUserInterfaceIdiom::pad ? 3.0 : 2.0, fade};
}

class TimerLayoutTables : public testing::EmulatedDevice {
protected:
    // Every pose and split of the device now emulated, against the model's rows.
    void checkEveryPoseAndSplit(const Model& m) {
        const UIUserInterfaceIdiom idiom = DeviceProfile::current().idiom;
        for (const Pose& pose : kPoses) {
            UIDevice::currentDevice().setOrientation(pose.sensor);
            UIScreen::mainScreen().setInterfaceOrientation(pose.screenLandscape ? UIInterfaceOrientation::landscapeLeft
                                                                                : UIInterfaceOrientation::portrait);
            for (Split split : kSplits) {
                SCOPED_TRACE(m.name + ", " + pose.name + ", split " + std::to_string(int(split)));
                EXPECT_EQ(TimerContentHolder::heightFractions(pose.sensor, split),
                          expectedFractions(m.kind, idiom, pose, split));
                EXPECT_EQ(ProgressRingSide::sideLength(pose.sensor, split), expectedRing(m, pose, split));
                EXPECT_EQ(CarouselSizing::compute(split), expectedSizing(m, idiom, pose, split));
            }
        }
    }
};

TEST_F(TimerLayoutTables, EveryModelAndItsSimulatorInEveryPoseAndSplit) {
    for (const Model& m : namedModels()) {
        for (bool simulator : {false, true}) {
            emulate(m.name, simulator);
            checkEveryPoseAndSplit(m);
        }
    }
}

TEST_F(TimerLayoutTables, ModelsNoProfileNamesTakeEachTablesFallbackRow) {
    emulateUnknown(DeviceFamily::phone, UIUserInterfaceIdiom::phone);
    checkEveryPoseAndSplit(phone("an unnamed phone", Kind::phone, kPhoneRing, kOtherPhone, kOtherPhone));
    emulateUnknown(DeviceFamily::pad, UIUserInterfaceIdiom::pad);
    checkEveryPoseAndSplit(otherTablet("an unnamed tablet", Kind::pad, 60, 130, 170, 114));
    // Neither phone nor pad: tablet ticks without fading, the plain ring, no heights in landscape; the
    // idiom alone decides the tick width.
    for (auto idiom : {UIUserInterfaceIdiom::pad, UIUserInterfaceIdiom::unspecified}) {
        emulateUnknown(DeviceFamily::other, idiom);
        checkEveryPoseAndSplit(otherTablet("neither phone nor pad", Kind::neither, 0, 118, 118, 114));
    }
}

}  // namespace
}  // namespace quorvel
