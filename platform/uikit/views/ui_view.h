#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_affine_transform.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/quartzcore/ca_layer.h"
#include "platform/uikit/device/ui_trait_collection.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/views/ui_accessibility.h"
#include "platform/uikit/views/ui_responder.h"

namespace platform {

class UIEvent;
class UIGestureRecognizer;
class UIViewController;
class UIWindow;
class NSLayoutConstraint;
class UILayoutGuide;
class NSLayoutXAxisAnchor;
class NSLayoutYAxisAnchor;
class NSLayoutDimension;

// How a view follows a change of its superview's bounds size, as bits.
enum : unsigned {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
    UIViewAutoresizingFlexibleWidth = 1 << 1,
    UIViewAutoresizingFlexibleRightMargin = 1 << 2,
    UIViewAutoresizingFlexibleTopMargin = 1 << 3,
    UIViewAutoresizingFlexibleHeight = 1 << 4,
    UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

enum class UIViewContentMode : int {
    scaleToFill = 0,
    scaleAspectFit,
    scaleAspectFill,
    center,
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
};

enum class UIViewTintAdjustmentMode : int { automatic = 0, normal = 1, dimmed = 2 };

// No intrinsic size along an axis.
inline constexpr CGFloat UIViewNoIntrinsicMetric = -1;

// A rectangle of the interface: a node of the view tree with its geometry, look, layout and hit testing.
//
// Each view owns a layer and is that layer's delegate; geometry and look live in the layer, and the
// subviews' layers are sublayers in the subviews' order (a layer may have other sublayers besides).
// Views live in shared_ptrs; a view holds its subviews and knows its superview without owning it.
// Layout is deferred: setNeedsLayout marks a view, and one pass on the main run loop lays out every
// marked view once, superviews before subviews, solving the active constraints of each view's subviews
// before its layoutSubviews runs. Touches a view does not handle go on to its superview. All of it is
// main-thread only.
class UIView : public UIResponder,
               public CALayerDelegate,
               public UIAccessibility,
               public std::enable_shared_from_this<UIView> {
public:
    UIView();
    explicit UIView(const CGRect& frame);
    UIView(const UIView&) = delete;
    UIView& operator=(const UIView&) = delete;
    ~UIView() override;

    const std::shared_ptr<CALayer>& layer() const;
    // The view whose layer this is, if any.
    static std::shared_ptr<UIView> viewForLayer(const CALayer& layer);
    // The name of the view's most derived class, without its namespace ("UILabel").
    std::string className() const;

    // Tree.
    std::shared_ptr<UIView> superview() const;
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    // The window at the root of this view's tree, if the root is one.
    std::shared_ptr<UIWindow> window() const;
    void addSubview(const std::shared_ptr<UIView>& view);
    // Indices beyond the end append; negative ones insert at the back.
    void insertSubview(const std::shared_ptr<UIView>& view, long index);
    void insertSubviewBelowSubview(const std::shared_ptr<UIView>& view,
                                   const std::shared_ptr<UIView>& sibling);
    void insertSubviewAboveSubview(const std::shared_ptr<UIView>& view,
                                   const std::shared_ptr<UIView>& sibling);
    void bringSubviewToFront(const std::shared_ptr<UIView>& view);
    void sendSubviewToBack(const std::shared_ptr<UIView>& view);
    // Also drops the constraints that tie this view's subtree to views outside it.
    void removeFromSuperview();
    bool isDescendantOfView(const UIView* view) const;
    // This view or the first descendant, depth first, with the tag.
    std::shared_ptr<UIView> viewWithTag(long tag);

    // Geometry. The frame is in the superview's coordinates; with a transform other than the identity
    // it is the bounding box of the transformed bounds.
    CGRect frame() const;
    virtual void setFrame(const CGRect& frame);
    CGRect bounds() const { return layer_->bounds(); }
    virtual void setBounds(const CGRect& bounds);
    CGPoint center() const { return layer_->position(); }
    virtual void setCenter(CGPoint center);
    // The affine part of the layer's transform.
    CGAffineTransform transform() const { return layer_->affineTransform(); }
    virtual void setTransform(const CGAffineTransform& transform);
    // The layer's whole transform, perspective included; inside an animation block it animates.
    const CATransform3D& transform3D() const { return layer_->transform(); }
    void setTransform3D(const CATransform3D& transform);

    // Look.
    // The layer's opacity, kept in single precision.
    CGFloat alpha() const { return layer_->opacity(); }
    virtual void setAlpha(CGFloat alpha);
    bool isHidden() const { return layer_->isHidden(); }
    virtual void setHidden(bool hidden);
    bool clipsToBounds() const { return layer_->masksToBounds(); }
    void setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    std::shared_ptr<UIColor> backgroundColor() const;
    virtual void setBackgroundColor(const std::shared_ptr<UIColor>& color);
    // Inherited from the superview when not set; the system blue at the root.
    std::shared_ptr<UIColor> tintColor() const;
    void setTintColor(const std::shared_ptr<UIColor>& color);
    UIViewTintAdjustmentMode tintAdjustmentMode() const;
    void setTintAdjustmentMode(UIViewTintAdjustmentMode mode);
    virtual void tintColorDidChange() {}
    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    UIViewContentMode contentMode() const { return contentMode_; }
    void setContentMode(UIViewContentMode mode) { contentMode_ = mode; }

    // Autoresizing: how this view follows a change of its superview's bounds size.
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    void setAutoresizesSubviews(bool value) { autoresizesSubviews_ = value; }

    // Layout.
    void setNeedsLayout();
    // Lays out now what is marked, from the outermost marked superview down; safe to call from inside a
    // layoutSubviews (a view already being laid out is not laid out again inside itself).
    void layoutIfNeeded();
    virtual void layoutSubviews() {}
    void setNeedsUpdateConstraints();
    void updateConstraintsIfNeeded();
    virtual void updateConstraints() {}
    void setTranslatesAutoresizingMaskIntoConstraints(bool value);

    // Sizing.
    virtual CGSize sizeThatFits(CGSize size) const;
    void sizeToFit();
    virtual CGSize intrinsicContentSize() const { return {UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric}; }
    void invalidateIntrinsicContentSize();

    // Drawing: the renderer calls drawRect of every view subclass whenever it repaints the view's
    // part of the window; setNeedsDisplay tells the renderer that part changed. A subclass calls it
    // whenever what it draws changes.
    void setNeedsDisplay();
    virtual void drawRect(const CGRect& rect) { (void)rect; }

    // Coordinates. A null view means the window's (the root's) coordinates.
    CGPoint convertPointToView(CGPoint point, const UIView* view) const;
    CGPoint convertPointFromView(CGPoint point, const UIView* view) const;
    CGRect convertRectToView(const CGRect& rect, const UIView* view) const;
    CGRect convertRectFromView(const CGRect& rect, const UIView* view) const;
    CGPoint convertPointToView(CGPoint p, const std::shared_ptr<UIView>& v) const {
        return convertPointToView(p, v.get());
    }
    CGPoint convertPointFromView(CGPoint p, const std::shared_ptr<UIView>& v) const {
        return convertPointFromView(p, v.get());
    }
    CGRect convertRectToView(const CGRect& r, const std::shared_ptr<UIView>& v) const {
        return convertRectToView(r, v.get());
    }
    CGRect convertRectFromView(const CGRect& r, const std::shared_ptr<UIView>& v) const {
        return convertRectFromView(r, v.get());
    }

    // Hit testing: the deepest visible, interactive view under the point (in this view's coordinates).
    // Hidden views, views with alpha below 0.01 and views with interaction off take no touches, nor do
    // their subviews.
    virtual std::shared_ptr<UIView> hitTest(CGPoint point, const UIEvent* event);
    virtual bool pointInside(CGPoint point, const UIEvent* event) const;

    // Touches.
    // The controller whose view this is, else the superview.
    UIResponder* nextResponder() const override;
    const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const {
        return recognizers_;
    }
    // A recogniser belongs to one view; adding it here takes it from the view it was on.
    void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
    // Asked before one of this view's recognisers begins: no makes it fail.
    virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) {
        (void)recognizer;
        return true;
    }
    // Whether this view, under a touch, keeps `recognizer` of one of its ancestors from beginning,
    // because its own handling of the touch comes first (a control's action over a tap).
    virtual bool takesPrecedenceOverGestureRecognizer(const UIGestureRecognizer& recognizer) const {
        (void)recognizer;
        return false;
    }

    // Block animations (see UIViewAnimation): the block's changes to frame, bounds, center, transform,
    // alpha and backgroundColor apply at once and are animated on the layers from their old values.
    using AnimationCompletion = std::function<void(bool finished)>;
    static void animateWithDuration(double duration, const std::function<void()>& animations);
    static void animateWithDuration(double duration, const std::function<void()>& animations,
                                    AnimationCompletion completion);
    static void animateWithDuration(double duration, double delay, unsigned options,
                                    const std::function<void()>& animations, AnimationCompletion completion);
    // The spring variant: a damping ratio (1 settles without overshoot) and an initial velocity in whole
    // distances per second.
    static void animateWithDuration(double duration, double delay, double dampingRatio, double velocity,
                                    unsigned options, const std::function<void()>& animations,
                                    AnimationCompletion completion);
    static void performWithoutAnimation(const std::function<void()>& actions);
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();

    // Tree hooks.
    virtual void willMoveToSuperview(UIView* newSuperview) { (void)newSuperview; }
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(UIWindow* newWindow) { (void)newWindow; }
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(UIView* subview) { (void)subview; }
    virtual void willRemoveSubview(UIView* subview) { (void)subview; }
    // Runs once a nib or storyboard that made this view has connected every outlet.
    virtual void awakeFromNib() {}
    // Runs while the view is destroyed, after its own class's destructor.
    void addDeallocHandler(std::function<void()> handler) { deallocHandlers_.push_back(std::move(handler)); }

    // Traits: the window's, or the main screen's for a view outside any window.
    virtual UITraitCollection traitCollection() const;
    // The superview's safe-area insets (the window's at the top, plus what a container's bars cover),
    // reduced to the part that overlaps this view.
    virtual UIEdgeInsets safeAreaInsets() const;
    UILayoutGuide safeAreaLayoutGuide();
    // The bounds less the safe area at the left and right sides: where content goes that must keep clear
    // of a landscape phone's sensor housing while its background fills the width.
    CGRect boundsInsideSafeAreaSides() const;

    // Constraints.
    NSLayoutYAxisAnchor topAnchor();
    NSLayoutYAxisAnchor bottomAnchor();
    NSLayoutXAxisAnchor leadingAnchor();
    NSLayoutXAxisAnchor trailingAnchor();
    NSLayoutXAxisAnchor leftAnchor();
    NSLayoutXAxisAnchor rightAnchor();
    NSLayoutXAxisAnchor centerXAnchor();
    NSLayoutYAxisAnchor centerYAnchor();
    NSLayoutDimension widthAnchor();
    NSLayoutDimension heightAnchor();
    // The active constraints held by this view: those whose nearest common ancestor it is.
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints() const { return installed_; }
    void addConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    // Every active constraint that names this view, wherever it is held.
    const std::vector<NSLayoutConstraint*>& constraintsNamingThisView() const { return naming_; }

protected:
    // For views backed by a special layer (a shape layer, say).
    UIView(const CGRect& frame, std::shared_ptr<CALayer> layer);

    // The part of `insets` (of the rectangle `outer`) that overlaps `inner`, a rectangle in the same space.
    static UIEdgeInsets insetsOverlapping(const UIEdgeInsets& insets, const CGRect& outer,
                                          const CGRect& inner);

    // A subview was shown, hidden or changed its intrinsic size; a stack view re-arranges.
    virtual void subviewLayoutInputsChanged(UIView* subview) { (void)subview; }

private:
    friend class NSLayoutConstraint;
    friend class ConstraintLayout;
    friend class LayoutPass;
    friend class UIViewAnimation;
    friend class UIViewController;

    UIView* root();
    UIWindow* windowPtr();
    // Makes this view its layer's delegate, once it lives in a shared_ptr.
    void claimLayer() const;
    void placeLayerOf(UIView* subview);
    void insertSubviewAt(const std::shared_ptr<UIView>& view, size_t index);
    void detachFromSuperview(bool notify);
    void notifyWindowChange(UIWindow* oldWindow, UIWindow* newWindow, bool before);
    void propagateTintChange();
    void boundsSizeChanged(CGSize oldSize);
    // Views tied to this one by constraints, and solved in another view's pass, are marked.
    void frameChanged();
    void resizeWithOldSuperviewSize(CGSize oldSize);
    // Queues a pass for this tree's root (this view).
    void requestLayoutAsRoot();
    void layoutSubtree();
    void dropConstraintsCrossing(UIView* subtreeRoot);
    // This view's point in its superview's coordinates, and back; nothing where the layers' 3-D
    // transforms leave no image of the point.
    std::optional<CGPoint> pointToSuperview(CGPoint p) const;
    std::optional<CGPoint> pointFromSuperview(CGPoint p) const;

    UIView* superview_ = nullptr;
    std::vector<std::shared_ptr<UIView>> subviews_;

    std::shared_ptr<CALayer> layer_;
    mutable bool layerClaimed_ = false;

    bool opaque_ = true;
    bool userInteractionEnabled_ = true;
    long tag_ = 0;
    std::shared_ptr<UIColor> tintColor_;
    UIViewTintAdjustmentMode tintAdjustmentMode_ = UIViewTintAdjustmentMode::automatic;
    UIViewContentMode contentMode_ = UIViewContentMode::scaleToFill;
    unsigned autoresizingMask_ = UIViewAutoresizingNone;
    bool autoresizesSubviews_ = true;

    bool needsLayout_ = true;  // a new view is laid out once it joins a tree or is asked to
    bool descendantNeedsLayout_ = false;
    bool inLayout_ = false;
    bool layoutRequested_ = false;  // this root waits for the next pass
    bool needsUpdateConstraints_ = false;
    bool translatesAutoresizing_ = true;

    int layoutIndex_ = -1;  // this view's rectangle while its superview's constraints are solved
    std::vector<std::shared_ptr<NSLayoutConstraint>> installed_;
    std::vector<NSLayoutConstraint*> naming_;
    std::vector<std::function<void()>> deallocHandlers_;
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers_;
    // The controller whose view this is: it hears of this view's layout passes.
    UIViewController* viewController_ = nullptr;
};

}  // namespace platform
