#pragma once

#include <memory>

#include "platform/coregraphics/cg_path.h"
#include "platform/quartzcore/ca_layer.h"

namespace platform {

// A layer that draws a path: filled (opaque black by default, none when null), stroked (none by
// default) with `lineWidth`, only the part of the outline between strokeStart and strokeEnd (fractions of
// its length). Animatable: strokeStart, strokeEnd, lineWidth, fillColor, strokeColor.
class CAShapeLayer : public CALayer {
public:
    static std::shared_ptr<CAShapeLayer> layer() { return std::make_shared<CAShapeLayer>(); }

    const char* className() const override { return "CAShapeLayer"; }

    const CGPathRef& path() const { return path_; }
    void setPath(CGPathRef path) { assign(path_, std::move(path)); }
    const CGColorRef& fillColor() const { return fillColor_; }
    void setFillColor(CGColorRef color) { assign(fillColor_, std::move(color)); }
    const CGColorRef& strokeColor() const { return strokeColor_; }
    void setStrokeColor(CGColorRef color) { assign(strokeColor_, std::move(color)); }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat w) { assign(lineWidth_, w); }
    CGFloat strokeStart() const { return strokeStart_; }
    void setStrokeStart(CGFloat v) { moveStroke(strokeStart_, v); }
    CGFloat strokeEnd() const { return strokeEnd_; }
    void setStrokeEnd(CGFloat v) { moveStroke(strokeEnd_, v); }
    CGPathFillRule fillRule() const { return fillRule_; }
    void setFillRule(CGPathFillRule rule) { assign(fillRule_, rule); }

    // Moves on, instead of revision(), when only strokeStart or strokeEnd is set anew, so a renderer can
    // repaint just the stretch of outline between an old end and its new place (a progress ring).
    std::uint64_t strokeRevision() const { return strokeRevision_; }
    // The largest stroke revision of any shape layer so far.
    static std::uint64_t lastStrokeRevision();

    CAValue valueForKey(const std::string& key) const override;

protected:
    bool storeValueForKey(const std::string& key, const CAValue& value) override;
    std::shared_ptr<CALayer> cloneProperties() const override;

private:
    void moveStroke(CGFloat& end, CGFloat value);

    CGPathRef path_;
    CGColorRef fillColor_ = CGColorCreateGenericRGB(0, 0, 0, 1);
    CGColorRef strokeColor_;
    CGFloat lineWidth_ = 1;
    CGFloat strokeStart_ = 0;
    CGFloat strokeEnd_ = 1;
    CGPathFillRule fillRule_ = CGPathFillRule::winding;
    std::uint64_t strokeRevision_ = 0;
};

}  // namespace platform
