#include "platform/uikit/layout/constraint_layout.h"

#include <vector>

#include "platform/uikit/layout/layout_engine.h"
#include "platform/uikit/layout/ns_layout_constraint.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

namespace {

bool isHorizontal(NSLayoutAttribute a) {
    return a == NSLayoutAttribute::left || a == NSLayoutAttribute::right || a == NSLayoutAttribute::leading ||
           a == NSLayoutAttribute::trailing || a == NSLayoutAttribute::width ||
           a == NSLayoutAttribute::centerX;
}

// The attribute as (position, size) weights over the rectangle's min and length along its axis.
std::pair<double, double> weights(NSLayoutAttribute a) {
    switch (a) {
        case NSLayoutAttribute::left:
        case NSLayoutAttribute::leading:
        case NSLayoutAttribute::top:
            return {1, 0};
        case NSLayoutAttribute::right:
        case NSLayoutAttribute::trailing:
        case NSLayoutAttribute::bottom:
            return {1, 1};
        case NSLayoutAttribute::centerX:
        case NSLayoutAttribute::centerY:
            return {1, 0.5};
        case NSLayoutAttribute::width:
        case NSLayoutAttribute::height:
            return {0, 1};
        default:
            return {0, 0};
    }
}

// The attribute's value for a view that is not being solved (or for its safe area), in the superview's
// coordinates.
double knownValue(const UIView& superview, const UIView& item, NSLayoutAttribute a, bool safeArea) {
    auto [wPos, wLen] = weights(a);
    bool horizontal = isHorizontal(a);
    CGRect own = item.bounds();
    if (safeArea) own = UIEdgeInsetsInsetRect(own, item.safeAreaInsets());
    double length = horizontal ? own.width() : own.height();
    if (wPos == 0) return wLen * length;
    CGRect r = &item == &superview ? own : item.convertRectToView(own, &superview);
    double min = horizontal ? r.minX() : r.minY();
    double extent = horizontal ? r.width() : r.height();
    return min + wLen * extent;
}

}  // namespace

void ConstraintLayout::layoutSubviewsOf(UIView& superview) {
    std::vector<UIView*> solved;
    for (const auto& sub : superview.subviews_) {
        if (!sub->translatesAutoresizing_) solved.push_back(sub.get());
    }
    if (solved.empty()) return;

    LayoutEngine engine;
    for (UIView* v : solved) {
        CGSize s = v->bounds().size;
        CGPoint c = v->center(), a = v->layer_->anchorPoint();
        CGRect r(c.x - a.x * s.width, c.y - a.y * s.height, s.width, s.height);
        v->layoutIndex_ = engine.addRect(r);
    }

    auto side = [&](UIView* item, NSLayoutAttribute a, bool safeArea, double sign,
                    std::vector<LayoutEngine::Term>& terms, double& constant) {
        if (!item || a == NSLayoutAttribute::notAnAttribute) return;
        if (item->superview_ == &superview && item->layoutIndex_ >= 0) {
            auto [wPos, wLen] = weights(a);
            bool h = isHorizontal(a);
            int rect = item->layoutIndex_;
            auto pos = LayoutEngine::variable(rect, h ? LayoutEngine::kMinX : LayoutEngine::kMinY);
            auto len = LayoutEngine::variable(rect, h ? LayoutEngine::kWidth : LayoutEngine::kHeight);
            if (wPos != 0) terms.push_back({pos, sign * wPos});
            if (wLen != 0) terms.push_back({len, sign * wLen});
        } else {
            constant -= sign * knownValue(superview, *item, a, safeArea);
        }
    };

    std::vector<NSLayoutConstraint*> seen;
    for (bool arrangement : {true, false})
        for (UIView* v : solved) {
            for (NSLayoutConstraint* c : v->naming_) {
                if (c->arrangement_ != arrangement) continue;
                // Ties to the view's own subviews place those subviews, in the view's own pass.
                UIView* other = c->firstItem_ == v ? c->secondItem_ : c->firstItem_;
                if (other && other != v && other->isDescendantOfView(v)) continue;
                bool dup = false;
                for (auto* s : seen) dup = dup || s == c;
                if (dup) continue;
                seen.push_back(c);
                // first = multiplier × second + constant  →  first − multiplier × second = constant
                std::vector<LayoutEngine::Term> terms;
                double constant = c->constant();
                side(c->firstItem_, c->firstAttribute_, c->firstSafeArea_, 1, terms, constant);
                side(c->secondItem_, c->secondAttribute_, c->secondSafeArea_, -c->multiplier_, terms, constant);
                engine.addEquation(std::move(terms), constant, c->priority());
            }
        }
    // A view's own content size holds where nothing stronger says otherwise.
    for (UIView* v : solved) {
        CGSize intrinsic = v->intrinsicContentSize();
        if (intrinsic.width != UIViewNoIntrinsicMetric) {
            engine.addEquation({{LayoutEngine::variable(v->layoutIndex_, LayoutEngine::kWidth), 1}},
                               intrinsic.width, UILayoutPriorityDefaultLow);
        }
        if (intrinsic.height != UIViewNoIntrinsicMetric) {
            engine.addEquation({{LayoutEngine::variable(v->layoutIndex_, LayoutEngine::kHeight), 1}},
                               intrinsic.height, UILayoutPriorityDefaultLow);
        }
    }

    std::vector<CGRect> frames = engine.solve();
    for (UIView* v : solved) {
        CGRect f = frames[v->layoutIndex_];
        v->layoutIndex_ = -1;
        // Size and centre, so a transform on the view (a running scale, say) is left alone.
        CGRect b = v->bounds();
        if (f.size != b.size) v->setBounds(CGRect(b.origin, f.size));
        CGPoint a = v->layer_->anchorPoint();
        v->setCenter(CGPoint{f.origin.x + a.x * f.size.width, f.origin.y + a.y * f.size.height});
    }
}

}  // namespace platform
