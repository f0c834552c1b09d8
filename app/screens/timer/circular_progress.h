#pragma once

#include <memory>

#include "platform/quartzcore/ca_shape_layer.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The session's progress as a ring: a coloured arc (the value, 0 to 1) over a full-circle track, both
// starting and ending at twelve o'clock. Main thread.
class CircularProgress : public platform::UIView {
public:
    // As made by the storyboard.
    CircularProgress();
    explicit CircularProgress(const platform::CGRect& frame);

    // Sized by the timer screen's layout.
    std::shared_ptr<platform::NSLayoutConstraint> heightConstraint() const {
        return heightConstraint_.lock();
    }
    void setHeightConstraint(const std::shared_ptr<platform::NSLayoutConstraint>& c) {
        heightConstraint_ = c;
    }
    std::shared_ptr<platform::NSLayoutConstraint> widthConstraint() const { return widthConstraint_.lock(); }
    void setWidthConstraint(const std::shared_ptr<platform::NSLayoutConstraint>& c) { widthConstraint_ = c; }

    const std::shared_ptr<platform::CAShapeLayer>& progressLayer() const { return progressLayer_; }
    const std::shared_ptr<platform::CAShapeLayer>& tracklayer() const { return tracklayer_; }
    const std::shared_ptr<platform::UIColor>& progressColor() const { return progressColor_; }
    void setProgressColor(std::shared_ptr<platform::UIColor> color) { progressColor_ = std::move(color); }
    const std::shared_ptr<platform::UIColor>& trackColor() const { return trackColor_; }
    void setTrackColor(std::shared_ptr<platform::UIColor> color) { trackColor_ = std::move(color); }
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width) { lineWidth_ = width; }
    double value() const { return value_; }

    // (Re)builds both layers from the frame and the fields and adds them, the arc above the track.
    virtual void drawRing();
    // Shows the value, animated over `duration` seconds when that is not 0. An emptied ring (0, no
    // duration) refills from empty in 0.4 s; a value that is not a number shows a full ring at once.
    virtual void setValue(float value, double duration);
    // The arc grows from nothing to the value, linearly.
    virtual void animateRing(double duration);

private:
    void showValue(double value);
    // The value moved to the nearest whole device pixel along the ring.
    double onPixelGrid(double value) const;

    std::weak_ptr<platform::NSLayoutConstraint> heightConstraint_;
    std::weak_ptr<platform::NSLayoutConstraint> widthConstraint_;
    std::shared_ptr<platform::CAShapeLayer> progressLayer_ = platform::CAShapeLayer::layer();
    std::shared_ptr<platform::CAShapeLayer> tracklayer_ = platform::CAShapeLayer::layer();
    std::shared_ptr<platform::UIColor> progressColor_ = platform::UIColor::redColor();
    std::shared_ptr<platform::UIColor> trackColor_ = platform::UIColor::clearColor();
    double lineWidth_ = 5.0;
    double value_ = 0.0;
};

}  // namespace quorvel
