#include "platform/uikit/views/ui_view.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/layout/constraint_layout.h"
#include "platform/uikit/layout/layout_pass.h"
#include "platform/uikit/layout/ns_layout_anchor.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/layout/ui_layout_guide.h"
#include "platform/uikit/touches/gesture_arbiter.h"
#include "platform/uikit/views/ui_view_animation.h"

namespace platform {

namespace {

// Along one axis: grows the flexible parts of (margin before, length, margin after) by `delta`, in
// proportion to their sizes, or evenly when they have none.
void resizeAxis(CGFloat delta, CGFloat superLength, CGFloat& min, CGFloat& length, bool flexMin,
                bool flexLength, bool flexMax) {
    int count = int(flexMin) + int(flexLength) + int(flexMax);
    if (delta == 0 || count == 0) return;
    CGFloat before = min, after = superLength - min - length;
    CGFloat total = (flexMin ? before : 0) + (flexLength ? length : 0) + (flexMax ? after : 0);
    bool proportional =
        total > 0 && (!flexMin || before >= 0) && (!flexLength || length >= 0) && (!flexMax || after >= 0);
    CGFloat dMin = 0, dLength = 0;
    if (proportional) {
        if (flexMin) dMin = delta * before / total;
        if (flexLength) dLength = delta * length / total;
    } else {
        if (flexMin) dMin = delta / count;
        if (flexLength) dLength = delta / count;
    }
    min += dMin;
    length += dLength;
}

}  // namespace

UIView::UIView() : UIView(CGRect::zero()) {}

UIView::UIView(const CGRect& frame) : UIView(frame, nullptr) {}

UIView::UIView(const CGRect& frame, std::shared_ptr<CALayer> layer)
    : layer_(layer ? std::move(layer) : CALayer::layer()) {
    layer_->setFrame(frame.isNull() ? CGRect::zero() : frame);
}

UIView::~UIView() {
    for (auto& handler : deallocHandlers_) handler();
    for (auto& recognizer : recognizers_) {
        GestureArbiter::shared().withdraw(*recognizer, false);
        recognizer->view_ = nullptr;
    }
    for (auto& c : std::vector(installed_)) c->uninstall();
    for (auto* c : std::vector(naming_)) c->forgetView(this);
    for (auto& sub : subviews_) {
        sub->willMoveToSuperview(nullptr);
        sub->superview_ = nullptr;
        sub->layer_->removeFromSuperlayer();
        sub->didMoveToSuperview();
    }
}

const std::shared_ptr<CALayer>& UIView::layer() const {
    claimLayer();
    return layer_;
}

void UIView::claimLayer() const {
    if (layerClaimed_) return;
    if (auto self = const_cast<UIView*>(this)->weak_from_this().lock()) {
        layer_->setDelegate(std::weak_ptr<CALayerDelegate>(std::shared_ptr<CALayerDelegate>(self)));
        layerClaimed_ = true;
    }
}

std::shared_ptr<UIView> UIView::viewForLayer(const CALayer& layer) {
    return std::dynamic_pointer_cast<UIView>(layer.delegate());
}

std::string UIView::className() const {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : typeid(*this).name();
    const auto colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

void UIView::placeLayerOf(UIView* subview) {
    claimLayer();
    subview->claimLayer();
    // Just below the layer of the next subview up, or on top of everything.
    auto it = std::find_if(subviews_.begin(), subviews_.end(),
                           [subview](const auto& s) { return s.get() == subview; });
    if (it != subviews_.end() && it + 1 != subviews_.end() && (*(it + 1))->layer_->superlayer() == layer_) {
        layer_->insertSublayerBelow(subview->layer_, (*(it + 1))->layer_);
    } else {
        layer_->addSublayer(subview->layer_);
    }
}

// Tree --------------------------------------------------------------------------------------------

std::shared_ptr<UIView> UIView::superview() const {
    return superview_ ? superview_->weak_from_this().lock() : nullptr;
}

UIWindow* UIView::windowPtr() {
    return dynamic_cast<UIWindow*>(root());
}

UIView* UIView::root() {
    UIView* v = this;
    while (v->superview_) v = v->superview_;
    return v;
}

std::shared_ptr<UIWindow> UIView::window() const {
    UIView* top = const_cast<UIView*>(this)->root();
    auto* window = dynamic_cast<UIWindow*>(top);
    if (!window) return nullptr;
    return std::static_pointer_cast<UIWindow>(window->weak_from_this().lock());
}

bool UIView::isDescendantOfView(const UIView* view) const {
    for (const UIView* v = this; v; v = v->superview_) {
        if (v == view) return true;
    }
    return false;
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
    insertSubview(view, long(subviews_.size()));
}

void UIView::insertSubview(const std::shared_ptr<UIView>& view, long index) {
    long count = long(subviews_.size());
    if (view && view->superview_ == this) --count;  // it moves within this view
    insertSubviewAt(view, size_t(std::clamp(index, 0L, count)));
}

void UIView::insertSubviewBelowSubview(const std::shared_ptr<UIView>& view,
                                       const std::shared_ptr<UIView>& sibling) {
    if (!sibling || sibling->superview_ != this) return addSubview(view);
    if (view == sibling) return;
    if (view && view->superview_ == this) std::erase(subviews_, view);
    auto at = std::find(subviews_.begin(), subviews_.end(), sibling) - subviews_.begin();
    insertSubviewAt(view, size_t(at));
}

void UIView::insertSubviewAboveSubview(const std::shared_ptr<UIView>& view,
                                       const std::shared_ptr<UIView>& sibling) {
    if (!sibling || sibling->superview_ != this) return addSubview(view);
    if (view == sibling) return;
    if (view && view->superview_ == this) std::erase(subviews_, view);
    auto at = std::find(subviews_.begin(), subviews_.end(), sibling) - subviews_.begin();
    insertSubviewAt(view, size_t(at + 1));
}

void UIView::insertSubviewAt(const std::shared_ptr<UIView>& view, size_t index) {
    // A view cannot hold itself or one of its own superviews.
    if (!view || isDescendantOfView(view.get())) return;
    if (view->superview_ == this) {
        std::erase(subviews_, view);
        subviews_.insert(subviews_.begin() + long(std::min(index, subviews_.size())), view);
        placeLayerOf(view.get());
        return;
    }
    std::shared_ptr<UIView> keep = view;
    UIWindow* oldWindow = view->windowPtr();
    UIWindow* newWindow = windowPtr();
    view->willMoveToSuperview(this);
    if (oldWindow != newWindow) view->notifyWindowChange(oldWindow, newWindow, true);
    if (view->superview_) view->detachFromSuperview(false);
    subviews_.insert(subviews_.begin() + long(std::min(index, subviews_.size())), view);
    view->superview_ = this;
    placeLayerOf(view.get());
    if (oldWindow != newWindow) view->notifyWindowChange(oldWindow, newWindow, false);
    view->didMoveToSuperview();
    didAddSubview(view.get());
    if (!view->tintColor_) view->propagateTintChange();
    // The newcomer lays itself out in the next pass; its new superview is not disturbed.
    view->setNeedsLayout();
}

void UIView::bringSubviewToFront(const std::shared_ptr<UIView>& view) {
    if (!view || view->superview_ != this) return;
    std::erase(subviews_, view);
    subviews_.push_back(view);
    layer_->addSublayer(view->layer_);
}

void UIView::sendSubviewToBack(const std::shared_ptr<UIView>& view) {
    if (!view || view->superview_ != this) return;
    std::erase(subviews_, view);
    subviews_.insert(subviews_.begin(), view);
    layer_->insertSublayerAtIndex(view->layer_, 0);
}

void UIView::removeFromSuperview() {
    if (!superview_) return;
    auto keep = weak_from_this().lock();
    UIWindow* oldWindow = windowPtr();
    willMoveToSuperview(nullptr);
    if (oldWindow) notifyWindowChange(oldWindow, nullptr, true);
    detachFromSuperview(true);
    if (oldWindow) notifyWindowChange(oldWindow, nullptr, false);
    didMoveToSuperview();
}

void UIView::detachFromSuperview(bool notify) {
    UIView* parent = superview_;
    if (!parent) return;
    parent->willRemoveSubview(this);
    (void)notify;
    dropConstraintsCrossing(this);
    auto it = std::find_if(parent->subviews_.begin(), parent->subviews_.end(),
                           [this](const auto& s) { return s.get() == this; });
    std::shared_ptr<UIView> keep;
    if (it != parent->subviews_.end()) {
        keep = *it;
        parent->subviews_.erase(it);
    }
    superview_ = nullptr;
    layer_->removeFromSuperlayer();
    // Work marked in this subtree waited for the old tree's pass, which no longer reaches it; its marks
    // would also stop every later request on the way up.
    if (needsLayout_ || descendantNeedsLayout_) requestLayoutAsRoot();
}

void UIView::dropConstraintsCrossing(UIView* subtreeRoot) {
    for (auto* c : std::vector(naming_)) {
        if (c->owner_ && !c->owner_->isDescendantOfView(subtreeRoot)) c->setActive(false);
    }
    for (auto& sub : subviews_) sub->dropConstraintsCrossing(subtreeRoot);
}

void UIView::notifyWindowChange(UIWindow* oldWindow, UIWindow* newWindow, bool before) {
    (void)oldWindow;
    if (before) {
        willMoveToWindow(newWindow);
    } else {
        didMoveToWindow();
    }
    for (auto& sub : std::vector(subviews_)) sub->notifyWindowChange(oldWindow, newWindow, before);
}

std::shared_ptr<UIView> UIView::viewWithTag(long tag) {
    if (tag_ == tag) return weak_from_this().lock();
    for (auto& sub : subviews_) {
        if (auto found = sub->viewWithTag(tag)) return found;
    }
    return nullptr;
}

// Geometry ----------------------------------------------------------------------------------------

CGRect UIView::frame() const {
    return layer_->frame();
}

void UIView::setFrame(const CGRect& frame) {
    if (frame.isNull()) return;
    CGSize oldSize = bounds().size;
    CGPoint oldCenter = center();
    UIViewAnimation::willChange(layer_, "bounds");
    UIViewAnimation::willChange(layer_, "position");
    layer_->setFrame(frame);
    CGSize size = bounds().size;
    if (oldSize != size) boundsSizeChanged(oldSize);
    if (oldSize != size || oldCenter != center()) frameChanged();
}

void UIView::setBounds(const CGRect& bounds) {
    CGRect b = bounds.isNull() ? CGRect::zero() : bounds.standardized();
    CGRect old = layer_->bounds();
    if (b.origin == old.origin && b.size == old.size) return;
    UIViewAnimation::willChange(layer_, "bounds");
    layer_->setBounds(b);
    if (old.size != b.size) {
        boundsSizeChanged(old.size);
        frameChanged();
    } else {
        // Scrolling: what is inside moves, the view does not.
        setNeedsLayout();
    }
}

void UIView::setCenter(CGPoint center) {
    if (center == layer_->position()) return;
    UIViewAnimation::willChange(layer_, "position");
    layer_->setPosition(center);
    frameChanged();
}

void UIView::setTransform(const CGAffineTransform& transform) {
    UIViewAnimation::willChange(layer_, "transform");
    layer_->setAffineTransform(transform);
}

void UIView::setTransform3D(const CATransform3D& transform) {
    UIViewAnimation::willChange(layer_, "transform");
    layer_->setTransform(transform);
}

void UIView::boundsSizeChanged(CGSize oldSize) {
    setNeedsLayout();
    if (!autoresizesSubviews_) return;
    for (auto& sub : std::vector(subviews_)) sub->resizeWithOldSuperviewSize(oldSize);
}

void UIView::frameChanged() {
    for (auto* c : naming_) {
        for (UIView* other : {c->firstItem_, c->secondItem_}) {
            // Own subviews follow in this view's pass, the superview is not placed by its subviews.
            if (!other || other == this || other == superview_ || other->superview_ == this ||
                other->translatesAutoresizing_) {
                continue;
            }
            if (other->superview_) other->superview_->setNeedsLayout();
        }
    }
}

void UIView::resizeWithOldSuperviewSize(CGSize oldSize) {
    if (!translatesAutoresizing_ || autoresizingMask_ == UIViewAutoresizingNone || !superview_) return;
    CGSize newSize = superview_->bounds().size;
    CGRect f = frame();
    CGRect g = f;
    unsigned m = autoresizingMask_;
    resizeAxis(newSize.width - oldSize.width, oldSize.width, g.origin.x, g.size.width,
               m & UIViewAutoresizingFlexibleLeftMargin, m & UIViewAutoresizingFlexibleWidth,
               m & UIViewAutoresizingFlexibleRightMargin);
    resizeAxis(newSize.height - oldSize.height, oldSize.height, g.origin.y, g.size.height,
               m & UIViewAutoresizingFlexibleTopMargin, m & UIViewAutoresizingFlexibleHeight,
               m & UIViewAutoresizingFlexibleBottomMargin);
    if (g == f) return;
    if (layer_->transform().isIdentity()) {
        setFrame(g);
        return;
    }
    // Under a transform the frame is only a bounding box: move the centre and resize the bounds.
    CGPoint c = center();
    CGRect b = bounds();
    setCenter(CGPoint{c.x + g.midX() - f.midX(), c.y + g.midY() - f.midY()});
    setBounds(CGRect(b.origin, CGSize{std::max(0.0, b.size.width + g.size.width - f.size.width),
                                      std::max(0.0, b.size.height + g.size.height - f.size.height)}));
}

// Look --------------------------------------------------------------------------------------------

void UIView::setAlpha(CGFloat alpha) {
    UIViewAnimation::willChange(layer_, "opacity");
    layer_->setOpacity(float(alpha));
}

void UIView::setHidden(bool hidden) {
    if (hidden == layer_->isHidden()) return;
    layer_->setHidden(hidden);
    if (superview_) superview_->subviewLayoutInputsChanged(this);
}

std::shared_ptr<UIColor> UIView::backgroundColor() const {
    return UIColor::colorWithCGColor(layer_->backgroundColor());
}

void UIView::setBackgroundColor(const std::shared_ptr<UIColor>& color) {
    UIViewAnimation::willChange(layer_, "backgroundColor");
    layer_->setBackgroundColor(color);
}

std::shared_ptr<UIColor> UIView::tintColor() const {
    std::shared_ptr<UIColor> color;
    for (const UIView* v = this; v && !color; v = v->superview_) color = v->tintColor_;
    if (!color) color = UIColor::colorWithRed(0, 122.0 / 255, 1, 1);
    if (tintAdjustmentMode() == UIViewTintAdjustmentMode::dimmed) {
        return UIColor::colorWithWhite(0.5, color->alpha());
    }
    return color;
}

void UIView::setTintColor(const std::shared_ptr<UIColor>& color) {
    tintColor_ = color;
    propagateTintChange();
}

UIViewTintAdjustmentMode UIView::tintAdjustmentMode() const {
    for (const UIView* v = this; v; v = v->superview_) {
        if (v->tintAdjustmentMode_ != UIViewTintAdjustmentMode::automatic) return v->tintAdjustmentMode_;
    }
    return UIViewTintAdjustmentMode::normal;
}

void UIView::setTintAdjustmentMode(UIViewTintAdjustmentMode mode) {
    if (mode == tintAdjustmentMode_) return;
    tintAdjustmentMode_ = mode;
    propagateTintChange();
}

void UIView::propagateTintChange() {
    tintColorDidChange();
    for (auto& sub : std::vector(subviews_)) {
        if (!sub->tintColor_ || sub->tintAdjustmentMode_ == UIViewTintAdjustmentMode::automatic) {
            sub->propagateTintChange();
        }
    }
}

// Layout ------------------------------------------------------------------------------------------

void UIView::setNeedsLayout() {
    // A view asking again while it is being laid out would be laid out forever.
    if (inLayout_) return;
    needsLayout_ = true;
    UIView* v = this;
    while (v->superview_ && !v->superview_->descendantNeedsLayout_) {
        v = v->superview_;
        v->descendantNeedsLayout_ = true;
    }
    if (!v->superview_) {
        v->requestLayoutAsRoot();
    } else {
        LayoutPass::schedule();
    }
}

void UIView::requestLayoutAsRoot() {
    if (layoutRequested_) return LayoutPass::schedule();
    layoutRequested_ = true;
    LayoutPass::request(*this);
}

void UIView::layoutIfNeeded() {
    auto keep = weak_from_this().lock();
    UIView* top = nullptr;
    for (UIView* v = this; v; v = v->superview_) {
        if (v->needsLayout_ && !v->inLayout_) top = v;
    }
    if (top && top != this) {
        auto keepTop = top->weak_from_this().lock();
        top->layoutSubtree();
    }
    if (needsLayout_ || descendantNeedsLayout_) layoutSubtree();
}

void UIView::layoutSubtree() {
    if (needsLayout_ && !inLayout_) {
        needsLayout_ = false;
        inLayout_ = true;
        auto controller = viewController_ ? viewController_->weak_from_this().lock() : nullptr;
        if (controller) controller->viewWillLayoutSubviews();
        updateConstraintsIfNeeded();
        ConstraintLayout::layoutSubviewsOf(*this);
        layoutSubviews();
        if (controller) controller->viewDidLayoutSubviews();
        inLayout_ = false;
    }
    if (!descendantNeedsLayout_) return;
    descendantNeedsLayout_ = false;
    for (auto& sub : std::vector(subviews_)) {
        if (sub->superview_ == this && (sub->needsLayout_ || sub->descendantNeedsLayout_))
            sub->layoutSubtree();
    }
}

void UIView::setNeedsUpdateConstraints() {
    needsUpdateConstraints_ = true;
    setNeedsLayout();
}

void UIView::updateConstraintsIfNeeded() {
    if (!needsUpdateConstraints_) return;
    needsUpdateConstraints_ = false;
    updateConstraints();
}

void UIView::setTranslatesAutoresizingMaskIntoConstraints(bool value) {
    if (value == translatesAutoresizing_) return;
    translatesAutoresizing_ = value;
    if (superview_) superview_->setNeedsLayout();
}

CGSize UIView::sizeThatFits(CGSize size) const {
    (void)size;
    return bounds().size;
}

void UIView::sizeToFit() {
    CGRect f = frame();
    setFrame(CGRect(f.origin, sizeThatFits(bounds().size)));
}

void UIView::invalidateIntrinsicContentSize() {
    if (!superview_) return;
    superview_->subviewLayoutInputsChanged(this);
    if (!translatesAutoresizing_) superview_->setNeedsLayout();
}

// Drawing -----------------------------------------------------------------------------------------

void UIView::setNeedsDisplay() {
    layer_->setNeedsDisplay();
}

// Coordinates and hit testing ---------------------------------------------------------------------

std::optional<CGPoint> UIView::pointToSuperview(CGPoint p) const {
    return layer_->convertPointToSuperlayer(p);
}

std::optional<CGPoint> UIView::pointFromSuperview(CGPoint p) const {
    return layer_->convertPointFromSuperlayer(p);
}

// A null view is the root of this view's tree: its window, when it has one. Views of two trees meet
// in the space the roots are placed in (the screen, for windows).
CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const {
    UIView* mine = const_cast<UIView*>(this)->root();
    const UIView* to = view ? view : mine;
    UIView* theirs = const_cast<UIView*>(to)->root();
    if (mine == theirs) return layer_->convertPointToLayer(point, to->layer_);
    CGPoint p = layer_->convertPointToLayer(point, mine->layer_);
    p = mine->pointToSuperview(p).value_or(p);
    p = theirs->pointFromSuperview(p).value_or(p);
    return theirs->layer_->convertPointToLayer(p, to->layer_);
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* view) const {
    const UIView* from = view ? view : const_cast<UIView*>(this)->root();
    return from->convertPointToView(point, this);
}

CGRect UIView::convertRectToView(const CGRect& rect, const UIView* view) const {
    const UIView* to = view ? view : const_cast<UIView*>(this)->root();
    if (const_cast<UIView*>(this)->root() == const_cast<UIView*>(to)->root()) {
        return layer_->convertRectToLayer(rect, to->layer_);
    }
    if (rect.isNull()) return rect;
    CGRect s = rect.standardized();
    CGRect box = CGRect::null();
    for (CGPoint corner : {CGPoint{s.minX(), s.minY()}, CGPoint{s.maxX(), s.minY()},
                           CGPoint{s.minX(), s.maxY()}, CGPoint{s.maxX(), s.maxY()}}) {
        box = box.unionWith(CGRect(convertPointToView(corner, to), CGSize{}));
    }
    return box;
}

CGRect UIView::convertRectFromView(const CGRect& rect, const UIView* view) const {
    const UIView* from = view ? view : const_cast<UIView*>(this)->root();
    return from->convertRectToView(rect, this);
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point, const UIEvent* event) {
    // In the layer's own precision, so an alpha set to 0.01 still takes touches.
    if (isHidden() || !userInteractionEnabled_ || layer_->opacity() < 0.01f) return nullptr;
    if (!pointInside(point, event)) return nullptr;
    auto subviews = subviews_;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        auto local = (*it)->pointFromSuperview(point);
        if (!local) continue;  // turned so that no point of it lies here
        if (auto hit = (*it)->hitTest(*local, event)) return hit;
    }
    return weak_from_this().lock();
}

UIResponder* UIView::nextResponder() const {
    if (viewController_) return viewController_;
    return superview_;
}

bool UIView::pointInside(CGPoint point, const UIEvent* event) const {
    (void)event;
    return bounds().contains(point);
}

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    if (!recognizer || recognizer->view_ == this) return;
    if (recognizer->view_) recognizer->view_->removeGestureRecognizer(recognizer);
    recognizers_.push_back(recognizer);
    recognizer->view_ = this;
}

void UIView::removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    if (!recognizer || recognizer->view_ != this) return;
    GestureArbiter::shared().withdraw(*recognizer, true);
    std::erase(recognizers_, recognizer);
    recognizer->view_ = nullptr;
}

// Animation ---------------------------------------------------------------------------------------

void UIView::animateWithDuration(double duration, const std::function<void()>& animations) {
    animateWithDuration(duration, 0, 0, animations, nullptr);
}

void UIView::animateWithDuration(double duration, const std::function<void()>& animations,
                                 AnimationCompletion completion) {
    animateWithDuration(duration, 0, 0, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, unsigned options,
                                 const std::function<void()>& animations, AnimationCompletion completion) {
    UIViewAnimation::Parameters p;
    p.duration = duration;
    p.delay = delay;
    p.options = options;
    UIViewAnimation::run(p, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, double dampingRatio, double velocity,
                                 unsigned options, const std::function<void()>& animations,
                                 AnimationCompletion completion) {
    UIViewAnimation::Parameters p;
    p.duration = duration;
    p.delay = delay;
    p.options = options;
    p.spring = true;
    p.dampingRatio = dampingRatio;
    p.initialVelocity = velocity;
    UIViewAnimation::run(p, animations, std::move(completion));
}

void UIView::performWithoutAnimation(const std::function<void()>& actions) {
    UIViewAnimation::runWithoutAnimation(actions);
}

void UIView::setAnimationsEnabled(bool enabled) {
    UIViewAnimation::setAnimationsEnabled(enabled);
}

bool UIView::areAnimationsEnabled() {
    return UIViewAnimation::areAnimationsEnabled();
}

// Traits ------------------------------------------------------------------------------------------

UITraitCollection UIView::traitCollection() const {
    UIView* top = const_cast<UIView*>(this)->root();
    if (top != this) return top->traitCollection();
    return UITraitCollection::forWindowSize(UIScreen::mainScreen().bounds().size);
}

UIEdgeInsets UIView::safeAreaInsets() const {
    if (!superview_) return {};
    return insetsOverlapping(superview_->safeAreaInsets(), superview_->bounds(), frame());
}

UILayoutGuide UIView::safeAreaLayoutGuide() {
    return UILayoutGuide(this);
}

CGRect UIView::boundsInsideSafeAreaSides() const {
    const UIEdgeInsets safe = safeAreaInsets();
    const CGRect b = bounds();
    const CGFloat left = std::min(safe.left, b.width());
    return CGRect(b.minX() + left, b.minY(), std::max(0.0, b.width() - left - safe.right), b.height());
}

UIEdgeInsets UIView::insetsOverlapping(const UIEdgeInsets& insets, const CGRect& outer, const CGRect& inner) {
    return {std::max(0.0, insets.top - (inner.minY() - outer.minY())),
            std::max(0.0, insets.left - (inner.minX() - outer.minX())),
            std::max(0.0, insets.bottom - (outer.maxY() - inner.maxY())),
            std::max(0.0, insets.right - (outer.maxX() - inner.maxX()))};
}

// Constraints -------------------------------------------------------------------------------------

NSLayoutYAxisAnchor UIView::topAnchor() {
    return {this, NSLayoutAttribute::top};
}
NSLayoutYAxisAnchor UIView::bottomAnchor() {
    return {this, NSLayoutAttribute::bottom};
}
NSLayoutXAxisAnchor UIView::leadingAnchor() {
    return {this, NSLayoutAttribute::leading};
}
NSLayoutXAxisAnchor UIView::trailingAnchor() {
    return {this, NSLayoutAttribute::trailing};
}
NSLayoutXAxisAnchor UIView::leftAnchor() {
    return {this, NSLayoutAttribute::left};
}
NSLayoutXAxisAnchor UIView::rightAnchor() {
    return {this, NSLayoutAttribute::right};
}
NSLayoutXAxisAnchor UIView::centerXAnchor() {
    return {this, NSLayoutAttribute::centerX};
}
NSLayoutYAxisAnchor UIView::centerYAnchor() {
    return {this, NSLayoutAttribute::centerY};
}
NSLayoutDimension UIView::widthAnchor() {
    return {this, NSLayoutAttribute::width};
}
NSLayoutDimension UIView::heightAnchor() {
    return {this, NSLayoutAttribute::height};
}

void UIView::addConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    NSLayoutConstraint::activateConstraints(constraints);
}

}  // namespace platform
