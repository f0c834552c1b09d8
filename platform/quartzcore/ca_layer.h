#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_color.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/coregraphics/cg_path.h"
#include "platform/quartzcore/ca_animation.h"
#include "platform/quartzcore/ca_transform_3d.h"
#include "platform/quartzcore/ca_value.h"

namespace platform {

// The owner a layer reports (a view for its backing layer). Held weakly by the layer.
class CALayerDelegate {
public:
    virtual ~CALayerDelegate() = default;
};

// A node of the layer tree: geometry, look, sublayers, animations and timing. A model: setting a property
// changes it at once (there are no implicit animations); animations added to the layer change only what
// presentationValue/presentationLayer report, and end on the process clock.
//
// Geometry. A point of the layer (in its bounds' coordinates) maps into its superlayer by: subtract the
// anchor (bounds.origin + anchorPoint × bounds.size, and anchorPointZ along z), apply `transform`, add
// `position`, then apply the superlayer's `sublayerTransform` about the superlayer's anchor. Each layer is
// flattened into its superlayer's plane (divided by w), so hit testing and conversion undo one level at a
// time. Sublayers later in the list are in front.
//
// Time. A layer's local time is (parent time − beginTime) × speed + timeOffset, the parent time of a
// layer without a superlayer being CACurrentMediaTime(). Animation times are in the layer's local time.
//
// Main thread only.
class CALayer : public std::enable_shared_from_this<CALayer> {
public:
    static std::shared_ptr<CALayer> layer() { return std::make_shared<CALayer>(); }

    CALayer();
    CALayer(const CALayer&) = delete;
    CALayer& operator=(const CALayer&) = delete;
    // Animations still attached stop unfinished (their delegates and completions hear finished = false).
    virtual ~CALayer();

    // The class name, for introspection and logs.
    virtual const char* className() const { return "CALayer"; }

    // --- Tree -----------------------------------------------------------------------------------
    std::shared_ptr<CALayer> superlayer() const { return superlayer_.lock(); }
    const std::vector<std::shared_ptr<CALayer>>& sublayers() const { return sublayers_; }
    // Adding moves the layer from its old superlayer. Adding a layer to itself or to one of its own
    // sublayers (which would make a cycle) does nothing.
    void addSublayer(const std::shared_ptr<CALayer>& layer);
    // An index past the end appends.
    void insertSublayerAtIndex(const std::shared_ptr<CALayer>& layer, std::size_t index);
    // A sibling that is not a sublayer of this layer puts the layer at the back (below) or front (above).
    void insertSublayerBelow(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CALayer>& sibling);
    void insertSublayerAbove(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CALayer>& sibling);
    void removeFromSuperlayer();
    bool isDescendantOf(const CALayer* ancestor) const;

    // --- Geometry -------------------------------------------------------------------------------
    CGRect bounds() const { return bounds_; }
    void setBounds(const CGRect& bounds) { assign(bounds_, bounds); }
    CGPoint position() const { return position_; }
    void setPosition(CGPoint position) { assign(position_, position); }
    CGPoint anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(CGPoint anchor) { assign(anchorPoint_, anchor); }
    CGFloat anchorPointZ() const { return anchorPointZ_; }
    void setAnchorPointZ(CGFloat z) { assign(anchorPointZ_, z); }
    const CATransform3D& transform() const { return transform_; }
    void setTransform(const CATransform3D& t) { assign(transform_, t); }
    const CATransform3D& sublayerTransform() const { return sublayerTransform_; }
    void setSublayerTransform(const CATransform3D& t) { assign(sublayerTransform_, t); }
    CGAffineTransform affineTransform() const { return transform_.affineTransform(); }
    void setAffineTransform(const CGAffineTransform& t) {
        assign(transform_, CATransform3D::makeAffineTransform(t));
    }
    // The box the transformed bounds cover in the superlayer (before its sublayerTransform).
    CGRect frame() const;
    // Sets the bounds' size and the position so that an untransformed layer covers `frame`.
    void setFrame(const CGRect& frame);

    // The matrix from this layer's coordinates to its superlayer's, the superlayer's sublayerTransform
    // included (see the class comment).
    CATransform3D transformToSuperlayer() const;
    // The same matrix with `superlayer` in the superlayer's place (none: without a sublayerTransform),
    // for copies of layers that are not in the tree.
    CATransform3D transformIn(const CALayer* superlayer) const;
    std::optional<CGPoint> convertPointToSuperlayer(CGPoint p) const;
    std::optional<CGPoint> convertPointFromSuperlayer(CGPoint p) const;
    // Between two layers of one tree (or the roots of two trees, taken as one space); a null layer is
    // the root space. A point that does not map (behind the eye, edge-on) is returned unchanged.
    CGPoint convertPointFromLayer(CGPoint p, const std::shared_ptr<const CALayer>& layer) const;
    CGPoint convertPointToLayer(CGPoint p, const std::shared_ptr<const CALayer>& layer) const;
    // The box of the converted corners.
    CGRect convertRectFromLayer(const CGRect& r, const std::shared_ptr<const CALayer>& layer) const;
    CGRect convertRectToLayer(const CGRect& r, const std::shared_ptr<const CALayer>& layer) const;
    // Whether the layer shows its back in its superlayer's plane (its projected image is mirrored).
    bool isFacingAway() const;

    // The deepest visible layer under `p`, a point in the superlayer's coordinates: hidden layers and
    // back-facing layers that are not double-sided are skipped, a masksToBounds layer takes only points
    // inside its bounds, front sublayers first.
    std::shared_ptr<CALayer> hitTest(CGPoint p);
    // Whether `p` (in this layer's coordinates) is inside the bounds.
    virtual bool containsPoint(CGPoint p) const;

    // --- Look -----------------------------------------------------------------------------------
    float opacity() const { return opacity_; }
    void setOpacity(float opacity) { assign(opacity_, opacity); }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { assign(hidden_, hidden); }
    bool isDoubleSided() const { return doubleSided_; }
    void setDoubleSided(bool v) { assign(doubleSided_, v); }
    const CGColorRef& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(CGColorRef color) { assign(backgroundColor_, std::move(color)); }
    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat r) { assign(cornerRadius_, r); }
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool v) { assign(masksToBounds_, v); }
    CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(CGFloat w) { assign(borderWidth_, w); }
    // Opaque black by default.
    const CGColorRef& borderColor() const { return borderColor_; }
    void setBorderColor(CGColorRef color) { assign(borderColor_, std::move(color)); }
    // Opaque black, offset (0, −3), radius 3, opacity 0 by default.
    const CGColorRef& shadowColor() const { return shadowColor_; }
    void setShadowColor(CGColorRef color) { assign(shadowColor_, std::move(color)); }
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize offset) { assign(shadowOffset_, offset); }
    CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(CGFloat r) { assign(shadowRadius_, r); }
    float shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(float o) { assign(shadowOpacity_, o); }
    const CGPathRef& shadowPath() const { return shadowPath_; }
    void setShadowPath(CGPathRef path) { assign(shadowPath_, std::move(path)); }
    // The mask is not a sublayer; it lies in this layer's coordinates.
    const std::shared_ptr<CALayer>& mask() const { return mask_; }
    void setMask(std::shared_ptr<CALayer> mask) { assign(mask_, std::move(mask)); }
    void setShouldRasterize(bool v) { shouldRasterize_ = v; }
    void setRasterizationScale(CGFloat s) { rasterizationScale_ = s; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    std::shared_ptr<CALayerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CALayerDelegate> delegate) { delegate_ = std::move(delegate); }

    // --- Time -----------------------------------------------------------------------------------
    double beginTime() const { return beginTime_; }
    void setBeginTime(double t);
    float speed() const { return speed_; }
    void setSpeed(float s);
    double timeOffset() const { return timeOffset_; }
    void setTimeOffset(double t);
    // The local time of this layer at `t` given in `layer`'s local time (null: media time), and back.
    double convertTimeFromLayer(double t, const std::shared_ptr<const CALayer>& layer) const;
    double convertTimeToLayer(double t, const std::shared_ptr<const CALayer>& layer) const;
    // This layer's local time now.
    double localTime() const;

    // --- Animations -----------------------------------------------------------------------------
    // Adds a copy of `animation` (a begin time of 0 becomes now, a duration of 0 the transaction's). An
    // animation already under `key` is removed first and stops unfinished. An empty key adds an
    // animation that no key reaches (a transition takes the key "transition").
    void addAnimation(const std::shared_ptr<CAAnimation>& animation, const std::string& key);
    // The copy the layer runs, or null.
    std::shared_ptr<CAAnimation> animationForKey(const std::string& key) const;
    // In the order added, keyless animations left out.
    std::vector<std::string> animationKeys() const;
    // Removal stops the animation unfinished.
    void removeAnimationForKey(const std::string& key);
    void removeAllAnimations();
    bool hasAnimations() const { return !animations_.empty(); }

    // --- Damage ---------------------------------------------------------------------------------
    // Changes every time something this layer draws changes: a drawn property, its contents, its frame
    // or transform, its animations, a new place in the tree (taken out and put back where it was is
    // none), or setNeedsDisplay. Taking it out alone leaves it: it no longer shows.
    // Renderers compare it with the value they last drew to find what to repaint; no two layers share
    // a value, so a new layer never passes for an old one.
    std::uint64_t revision() const { return revision_; }
    // The largest revision of any layer so far, moved on too when a layer is taken out of its
    // superlayer: unchanged means the trees are as they were.
    static std::uint64_t lastRevision();
    // What the layer draws changed in a way its properties do not show (a view's drawRect).
    void setNeedsDisplay() { changed(); }

    // --- Key-value access and presentation -------------------------------------------------------
    // Top-level animatable properties: bounds, position, anchorPoint, anchorPointZ, transform,
    // sublayerTransform, opacity, backgroundColor, cornerRadius, borderWidth, borderColor, shadowColor,
    // shadowOffset, shadowRadius, shadowOpacity; CAShapeLayer adds its own. Unknown keys read null and
    // are not set.
    virtual CAValue valueForKey(const std::string& key) const;
    bool setValueForKey(const std::string& key, const CAValue& value);
    // Key paths with parts: "position.y", "bounds.size.width", "transform.rotation.z", ...
    CAValue valueForKeyPath(const std::string& keyPath) const;
    bool setValueForKeyPath(const std::string& keyPath, const CAValue& value);

    // What the property shows at media time `mediaTime`: the model value with the layer's animations
    // applied in the order they were added.
    CAValue presentationValue(const std::string& keyPath, double mediaTime) const;
    CAValue presentationValue(const std::string& keyPath) const;
    // A detached copy of the layer's properties (no sublayers, no animations) showing presentation values
    // at `mediaTime`. The renderer can skip it for layers without animations.
    std::shared_ptr<CALayer> presentationLayer(double mediaTime) const;
    std::shared_ptr<CALayer> presentationLayer() const;
    // The progress of the last running transition at `mediaTime`, or nothing.
    std::optional<double> transitionProgress(double mediaTime) const;

protected:
    // A new layer of the same class with the same model properties, for presentation copies.
    virtual std::shared_ptr<CALayer> cloneProperties() const;
    void copyPropertiesTo(CALayer& other) const;
    // Stores a top-level property; false for an unknown key or a value of the wrong kind.
    virtual bool storeValueForKey(const std::string& key, const CAValue& value);
    void changed();
    template <typename T, typename V>
    void assign(T& field, V&& value) {
        if (sameValue(field, value)) return;
        field = std::forward<V>(value);
        changed();
    }
    // Colours and paths are compared by what they hold: a view that sets an equal one anew on every
    // layout or drawing pass changes nothing on screen.
    template <typename T>
    static bool sameValue(const T& a, const T& b) {
        return a == b;
    }
    template <typename T>
    static bool sameValue(const std::shared_ptr<T>& a, const std::shared_ptr<T>& b)
        requires std::equality_comparable<T>
    {
        return a == b || (a && b && *a == *b);
    }

private:
    friend class CAAnimationScheduler;
    struct Attached {
        std::string key;
        std::shared_ptr<CAAnimation> animation;
    };

    void attach(const std::shared_ptr<CALayer>& layer, std::size_t index);
    void detachFromSuperlayer();
    // Removes a finished animation without telling anyone; the scheduler tells.
    void dropAnimation(const CAAnimation* animation);
    double localTimeFromParent(double parentTime) const;
    double parentTimeFromLocal(double localTime) const;
    // The layer's local time at media time `mediaTime`, and back.
    double localTimeFromMedia(double mediaTime) const;
    double mediaTimeFromLocal(double localTime) const;
    CGPoint anchorInBounds() const;
    static void timingChanged();

    std::weak_ptr<CALayer> superlayer_;
    std::vector<std::shared_ptr<CALayer>> sublayers_;

    CGRect bounds_;
    CGPoint position_;
    CGPoint anchorPoint_{0.5, 0.5};
    CGFloat anchorPointZ_ = 0;
    CATransform3D transform_;
    CATransform3D sublayerTransform_;

    float opacity_ = 1;
    bool hidden_ = false;
    bool doubleSided_ = true;
    CGColorRef backgroundColor_;
    CGFloat cornerRadius_ = 0;
    bool masksToBounds_ = false;
    CGFloat borderWidth_ = 0;
    CGColorRef borderColor_ = CGColorCreateGenericRGB(0, 0, 0, 1);
    CGColorRef shadowColor_ = CGColorCreateGenericRGB(0, 0, 0, 1);
    CGSize shadowOffset_{0, -3};
    CGFloat shadowRadius_ = 3;
    float shadowOpacity_ = 0;
    CGPathRef shadowPath_;
    std::shared_ptr<CALayer> mask_;
    bool shouldRasterize_ = false;
    CGFloat rasterizationScale_ = 1;
    std::string name_;
    std::weak_ptr<CALayerDelegate> delegate_;

    double beginTime_ = 0;
    float speed_ = 1;
    double timeOffset_ = 0;

    std::vector<Attached> animations_;
    std::uint64_t revision_ = 0;
    // Where the layer was last taken out: put back in the same place, it has not moved.
    const CALayer* formerSuperlayer_ = nullptr;
    std::size_t formerIndex_ = 0;
};

}  // namespace platform
