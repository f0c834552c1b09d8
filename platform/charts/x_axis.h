#pragma once

#include "platform/charts/axis_base.h"

namespace platform {

// The horizontal axis. Its labels go under the values (bottom) or over them (top); with
// avoidFirstLastClipping the first and last labels move inside the view rather than being cut.
class XAxis : public AxisBase {
public:
    enum class LabelPosition : int { top = 0, bottom = 1 };

    LabelPosition labelPosition() const { return labelPosition_; }
    void setLabelPosition(LabelPosition position) { labelPosition_ = position; }
    bool isAvoidFirstLastClippingEnabled() const { return avoidFirstLastClipping_; }
    void setAvoidFirstLastClippingEnabled(bool enabled) { avoidFirstLastClipping_ = enabled; }

private:
    LabelPosition labelPosition_ = LabelPosition::top;
    bool avoidFirstLastClipping_ = false;
};

}  // namespace platform
