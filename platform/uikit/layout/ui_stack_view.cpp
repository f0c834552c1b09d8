#include "platform/uikit/layout/ui_stack_view.h"

#include <algorithm>

#include "platform/uikit/layout/ns_layout_constraint.h"

namespace platform {

UIStackView::UIStackView() = default;

UIStackView::UIStackView(const CGRect& frame) : UIView(frame) {}

UIStackView::UIStackView(const std::vector<std::shared_ptr<UIView>>& arrangedSubviews) {
    for (const auto& v : arrangedSubviews) addArrangedSubview(v);
}

UIStackView::~UIStackView() {
    for (auto& c : arrangement_) c->setActive(false);
}

void UIStackView::addArrangedSubview(const std::shared_ptr<UIView>& view) {
    insertArrangedSubview(view, long(arranged_.size()));
}

void UIStackView::insertArrangedSubview(const std::shared_ptr<UIView>& view, long index) {
    if (!view || view.get() == this) return;
    std::erase(arranged_, view);
    index = std::clamp(index, 0L, long(arranged_.size()));
    arranged_.insert(arranged_.begin() + index, view);
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    if (view->superview().get() != this) addSubview(view);
    arrangementChanged();
}

void UIStackView::willRemoveSubview(UIView* subview) {
    UIView::willRemoveSubview(subview);
    if (std::erase_if(arranged_, [subview](const auto& v) { return v.get() == subview; }))
        arrangementChanged();
}

void UIStackView::subviewLayoutInputsChanged(UIView* subview) {
    for (const auto& v : arranged_) {
        if (v.get() == subview) return arrangementChanged();
    }
}

void UIStackView::setAxis(UILayoutConstraintAxis axis) {
    if (axis == axis_) return;
    axis_ = axis;
    arrangementChanged();
}

void UIStackView::setDistribution(UIStackViewDistribution distribution) {
    if (distribution == distribution_) return;
    distribution_ = distribution;
    arrangementChanged();
}

void UIStackView::setAlignment(UIStackViewAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    arrangementChanged();
}

void UIStackView::setSpacing(CGFloat spacing) {
    if (spacing == spacing_) return;
    spacing_ = spacing;
    arrangementChanged();
}

void UIStackView::arrangementChanged() {
    setNeedsUpdateConstraints();
}

void UIStackView::updateConstraints() {
    UIView::updateConstraints();
    for (auto& c : arrangement_) c->setActive(false);
    arrangement_.clear();

    bool vertical = axis_ == UILayoutConstraintAxis::vertical;
    auto A = [vertical](NSLayoutAttribute h, NSLayoutAttribute v) { return vertical ? v : h; };
    const NSLayoutAttribute start = A(NSLayoutAttribute::leading, NSLayoutAttribute::top);
    const NSLayoutAttribute end = A(NSLayoutAttribute::trailing, NSLayoutAttribute::bottom);
    const NSLayoutAttribute length = A(NSLayoutAttribute::width, NSLayoutAttribute::height);
    const NSLayoutAttribute crossStart = A(NSLayoutAttribute::top, NSLayoutAttribute::leading);
    const NSLayoutAttribute crossEnd = A(NSLayoutAttribute::bottom, NSLayoutAttribute::trailing);
    const NSLayoutAttribute crossCenter = A(NSLayoutAttribute::centerY, NSLayoutAttribute::centerX);
    auto tie = [&](UIView* a, NSLayoutAttribute aa, UIView* b, NSLayoutAttribute ba, CGFloat m, CGFloat k) {
        auto c = NSLayoutConstraint::constraintWithItem(a, aa, NSLayoutRelation::equal, b, ba, m, k);
        c->arrangement_ = true;
        c->setIdentifier("UISV-arrangement");
        arrangement_.push_back(c);
    };

    std::vector<UIView*> shown;
    for (const auto& v : arranged_) {
        if (v->superview().get() != this) continue;
        if (v->isHidden()) {
            tie(v.get(), length, nullptr, NSLayoutAttribute::notAnAttribute, 1, 0);
            tie(v.get(), start, this, start, 1, 0);
        } else {
            shown.push_back(v.get());
        }
        switch (alignment_) {
            case UIStackViewAlignment::fill:
                tie(v.get(), crossStart, this, crossStart, 1, 0);
                tie(v.get(), crossEnd, this, crossEnd, 1, 0);
                break;
            case UIStackViewAlignment::leading:
                tie(v.get(), crossStart, this, crossStart, 1, 0);
                break;
            case UIStackViewAlignment::center:
                tie(v.get(), crossCenter, this, crossCenter, 1, 0);
                break;
            case UIStackViewAlignment::trailing:
                tie(v.get(), crossEnd, this, crossEnd, 1, 0);
                break;
        }
    }
    if (!shown.empty()) {
        tie(shown.front(), start, this, start, 1, 0);
        for (size_t i = 1; i < shown.size(); ++i) tie(shown[i], start, shown[i - 1], end, 1, spacing_);
        tie(this, end, shown.back(), end, 1, 0);
    }

    auto intrinsicLength = [vertical](UIView* v) {
        CGSize s = v->intrinsicContentSize();
        return vertical ? s.height : s.width;
    };
    if (distribution_ == UIStackViewDistribution::fillEqually) {
        for (size_t i = 1; i < shown.size(); ++i) tie(shown[i], length, shown[0], length, 1, 0);
    } else if (distribution_ == UIStackViewDistribution::fillProportionally && shown.size() > 1) {
        bool allSized =
            std::all_of(shown.begin(), shown.end(), [&](UIView* v) { return intrinsicLength(v) > 0; });
        if (allSized) {
            CGFloat first = intrinsicLength(shown[0]);
            for (size_t i = 1; i < shown.size(); ++i) {
                tie(shown[i], length, shown[0], length, intrinsicLength(shown[i]) / first, 0);
            }
        }
    }
    NSLayoutConstraint::activateConstraints(arrangement_);
}

}  // namespace platform
