#pragma once

#include <memory>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// The hour ruler's geometry, in points: item size, long-tick height, label font size and colour, the
// gap under a long tick, how often a tick is long and labelled, and the divisor of the ruler's width
// for its fade. A pad's sizes are a phone's times 1.5.
struct CarouselSettings {
    // For the device's idiom.
    CarouselSettings();

    platform::CGFloat width = 18;
    platform::CGFloat height = 60;
    platform::CGFloat measurementUnitHeight = 20;
    platform::CGFloat fontSize = 11;
    std::shared_ptr<platform::UIColor> unitColor;
    platform::CGFloat offset = 3;
    unsigned displayInterval = 5;
    platform::CGFloat fadeFactor = 10;

    platform::CGFloat halfMeasurementUnitHeight() const { return measurementUnitHeight * 0.5; }
    platform::CGFloat differential() const { return halfMeasurementUnitHeight() * 0.8; }
};

}  // namespace quorvel
