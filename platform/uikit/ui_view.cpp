#include "platform/uikit/ui_view.h"

#include <algorithm>

#include "platform/uikit/constraint_layout.h"
#include "platform/uikit/layout_pass.h"
#include "platform/uikit/ns_layout_anchor.h"
#include "platform/uikit/ns_layout_constraint.h"
#include "platform/uikit/ui_color.h"
#include "platform/uikit/ui_screen.h"
#include "platform/uikit/ui_window.h"

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

UIView::UIView() = default;

UIView::UIView(const CGRect& frame) {
    CGRect f = frame.isNull() ? CGRect::zero() : frame.standardized();
    bounds_ = CGRect(CGPoint{}, f.size);
    center_ = CGPoint{f.midX(), f.midY()};
}

UIView::~UIView() {
    for (auto& handler : deallocHandlers_) handler();
    for (auto& c : std::vector(installed_)) c->uninstall();
    for (auto* c : std::vector(naming_)) c->forgetView(this);
    for (auto& sub : subviews_) {
        sub->willMoveToSuperview(nullptr);
        sub->superview_ = nullptr;
        sub->didMoveToSuperview();
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
}

void UIView::sendSubviewToBack(const std::shared_ptr<UIView>& view) {
    if (!view || view->superview_ != this) return;
    std::erase(subviews_, view);
    subviews_.insert(subviews_.begin(), view);
}

void UIView::exchangeSubviewAtIndex(long index1, long index2) {
    long n = long(subviews_.size());
    if (index1 < 0 || index2 < 0 || index1 >= n || index2 >= n) return;
    std::swap(subviews_[size_t(index1)], subviews_[size_t(index2)]);
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
    CGSize s = bounds_.size;
    CGRect local(-anchorPoint_.x * s.width, -anchorPoint_.y * s.height, s.width, s.height);
    if (!transform_.isIdentity()) local = transform_.apply(local);
    return local.offsetBy(center_.x, center_.y);
}

void UIView::setFrame(const CGRect& frame) {
    CGRect f = frame.isNull() ? CGRect::zero() : frame.standardized();
    CGSize oldSize = bounds_.size;
    CGPoint oldCenter = center_;
    bounds_.size = f.size;
    center_ =
        CGPoint{f.origin.x + anchorPoint_.x * f.size.width, f.origin.y + anchorPoint_.y * f.size.height};
    if (oldSize != f.size) boundsSizeChanged(oldSize);
    if (oldSize != f.size || oldCenter != center_) frameChanged();
}

void UIView::setBounds(const CGRect& bounds) {
    CGRect b = bounds.isNull() ? CGRect::zero() : bounds.standardized();
    CGSize oldSize = bounds_.size;
    bool moved = b.origin != bounds_.origin;
    bounds_ = b;
    if (oldSize != b.size) {
        boundsSizeChanged(oldSize);
        frameChanged();
    } else if (moved) {
        // Scrolling: what is inside moves, the view does not.
        setNeedsLayout();
    }
}

void UIView::setCenter(CGPoint center) {
    if (center == center_) return;
    center_ = center;
    frameChanged();
}

void UIView::setTransform(const CGAffineTransform& transform) {
    transform_ = transform;
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
    CGSize newSize = superview_->bounds_.size;
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
    if (transform_.isIdentity()) {
        setFrame(g);
        return;
    }
    // Under a transform the frame is only a bounding box: move the centre and resize the bounds.
    setCenter(CGPoint{center_.x + g.midX() - f.midX(), center_.y + g.midY() - f.midY()});
    setBounds(
        CGRect(bounds_.origin, CGSize{std::max(0.0, bounds_.size.width + g.size.width - f.size.width),
                                      std::max(0.0, bounds_.size.height + g.size.height - f.size.height)}));
}

// Look --------------------------------------------------------------------------------------------

void UIView::setAlpha(CGFloat alpha) {
    alpha_ = alpha;
}

void UIView::setHidden(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    if (superview_) superview_->subviewLayoutInputsChanged(this);
}

void UIView::setBackgroundColor(const std::shared_ptr<UIColor>& color) {
    backgroundColor_ = color;
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
        LayoutPass::request(*v);
    } else {
        LayoutPass::schedule();
    }
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
        updateConstraintsIfNeeded();
        ConstraintLayout::layoutSubviewsOf(*this);
        layoutSubviews();
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
    return bounds_.size;
}

void UIView::sizeToFit() {
    CGRect f = frame();
    setFrame(CGRect(f.origin, sizeThatFits(bounds_.size)));
}

void UIView::invalidateIntrinsicContentSize() {
    if (!superview_) return;
    superview_->subviewLayoutInputsChanged(this);
    if (!translatesAutoresizing_) superview_->setNeedsLayout();
}

// Drawing -----------------------------------------------------------------------------------------

void UIView::setNeedsDisplay() {
    setNeedsDisplayInRect(bounds_);
}

void UIView::setNeedsDisplayInRect(const CGRect& rect) {
    needsDisplay_ = true;
    dirtyRect_ = dirtyRect_.unionWith(rect);
}

void UIView::displayIfNeeded() {
    if (!needsDisplay_) return;
    CGRect rect = dirtyRect_.intersection(bounds_);
    needsDisplay_ = false;
    dirtyRect_ = CGRect::null();
    if (!rect.isNull()) drawRect(rect);
}

// Coordinates and hit testing ---------------------------------------------------------------------

CGAffineTransform UIView::transformToSuperview() const {
    CGSize s = bounds_.size;
    CGPoint anchor{bounds_.origin.x + anchorPoint_.x * s.width, bounds_.origin.y + anchorPoint_.y * s.height};
    return CGAffineTransform::makeTranslation(-anchor.x, -anchor.y)
        .concat(transform_)
        .concat(CGAffineTransform::makeTranslation(center_.x, center_.y));
}

CGPoint UIView::pointToSuperview(CGPoint p) const {
    return transformToSuperview().apply(p);
}

CGPoint UIView::pointFromSuperview(CGPoint p) const {
    return transformToSuperview().inverted().apply(p);
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const {
    // Up to this tree's root; then, for a view in another tree, across the two roots' common space
    // (the screen, for windows) and down to the view.
    const UIView* top = this;
    for (; top->superview_; top = top->superview_) point = top->pointToSuperview(point);
    if (!view) return point;
    std::vector<const UIView*> chain;
    const UIView* otherTop = view;
    for (; otherTop; otherTop = otherTop->superview_) chain.push_back(otherTop);
    otherTop = chain.back();
    if (otherTop != top) point = otherTop->pointFromSuperview(top->pointToSuperview(point));
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) point = (*it)->pointFromSuperview(point);
    return point;
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* view) const {
    if (view) return view->convertPointToView(point, this);
    // From the root's coordinates.
    std::vector<const UIView*> chain;
    for (const UIView* v = this; v; v = v->superview_) chain.push_back(v);
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) point = (*it)->pointFromSuperview(point);
    return point;
}

namespace {

template <typename Convert>
CGRect convertCorners(const CGRect& rect, Convert convert) {
    if (rect.isNull()) return rect;
    CGRect s = rect.standardized();
    CGPoint corners[4] = {convert(CGPoint{s.minX(), s.minY()}), convert(CGPoint{s.maxX(), s.minY()}),
                          convert(CGPoint{s.minX(), s.maxY()}), convert(CGPoint{s.maxX(), s.maxY()})};
    CGFloat x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const auto& c : corners) {
        x0 = std::min(x0, c.x);
        x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y);
        y1 = std::max(y1, c.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

CGRect UIView::convertRectToView(const CGRect& rect, const UIView* view) const {
    return convertCorners(rect, [&](CGPoint p) { return convertPointToView(p, view); });
}

CGRect UIView::convertRectFromView(const CGRect& rect, const UIView* view) const {
    return convertCorners(rect, [&](CGPoint p) { return convertPointFromView(p, view); });
}

std::shared_ptr<UIView> UIView::hitTest(CGPoint point, const UIEvent* event) {
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01) return nullptr;
    if (!pointInside(point, event)) return nullptr;
    auto subviews = subviews_;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (auto hit = (*it)->hitTest((*it)->pointFromSuperview(point), event)) return hit;
    }
    return weak_from_this().lock();
}

bool UIView::pointInside(CGPoint point, const UIEvent* event) const {
    (void)event;
    return bounds_.contains(point);
}

// Traits ------------------------------------------------------------------------------------------

UITraitCollection UIView::traitCollection() const {
    UIView* top = const_cast<UIView*>(this)->root();
    if (top != this) return top->traitCollection();
    return UITraitCollection::forWindowSize(UIScreen::mainScreen().bounds().size);
}

UIEdgeInsets UIView::safeAreaInsets() const {
    UIView* top = const_cast<UIView*>(this)->root();
    auto* window = dynamic_cast<UIWindow*>(top);
    if (!window) return {};
    UIEdgeInsets w = window->safeAreaInsets();
    CGRect inWindow = convertRectToView(bounds_, window);
    CGRect wb = window->bounds();
    return {std::max(0.0, w.top - (inWindow.minY() - wb.minY())),
            std::max(0.0, w.left - (inWindow.minX() - wb.minX())),
            std::max(0.0, w.bottom - (wb.maxY() - inWindow.maxY())),
            std::max(0.0, w.right - (wb.maxX() - inWindow.maxX()))};
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

void UIView::addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    if (constraint) constraint->setActive(true);
}

void UIView::addConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    NSLayoutConstraint::activateConstraints(constraints);
}

void UIView::removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    if (constraint && constraint->owner_ == this) constraint->setActive(false);
}

void UIView::removeConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) removeConstraint(c);
}

}  // namespace platform
