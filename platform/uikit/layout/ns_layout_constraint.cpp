#include "platform/uikit/layout/ns_layout_constraint.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/foundation/console.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

namespace {

// The nearest view that is, or holds, both; null when they are in different trees.
UIView* commonAncestor(UIView* a, UIView* b) {
    if (!a) return b;
    if (!b) return a;
    for (UIView* v = a; v; v = v->superview().get()) {
        if (b->isDescendantOfView(v)) return v;
    }
    return nullptr;
}

}  // namespace

NSLayoutConstraint::NSLayoutConstraint(UIView* item, NSLayoutAttribute attribute, NSLayoutRelation relation,
                                       UIView* toItem, NSLayoutAttribute toAttribute, CGFloat multiplier,
                                       CGFloat constant)
    : firstItem_(item),
      secondItem_(toAttribute == NSLayoutAttribute::notAnAttribute ? nullptr : toItem),
      firstAttribute_(attribute),
      secondAttribute_(toItem ? toAttribute : NSLayoutAttribute::notAnAttribute),
      relation_(relation),
      multiplier_(multiplier),
      constant_(constant) {
    if (firstItem_) firstRef_ = firstItem_->weak_from_this();
    if (secondItem_) secondRef_ = secondItem_->weak_from_this();
}

std::shared_ptr<NSLayoutConstraint> NSLayoutConstraint::constraintWithItem(
    UIView* item, NSLayoutAttribute attribute, NSLayoutRelation relation, UIView* toItem,
    NSLayoutAttribute toAttribute, CGFloat multiplier, CGFloat constant) {
    return std::make_shared<NSLayoutConstraint>(item, attribute, relation, toItem, toAttribute, multiplier,
                                                constant);
}

std::vector<std::shared_ptr<NSLayoutConstraint>> NSLayoutConstraint::constraintsWithVisualFormat(
    const std::string& format, const std::map<std::string, std::shared_ptr<UIView>>& views) {
    constexpr CGFloat kStandardSpacing = 8;
    std::string_view s = format;
    bool vertical = false;
    if (s.starts_with("H:")) {
        s.remove_prefix(2);
    } else if (s.starts_with("V:")) {
        vertical = true;
        s.remove_prefix(2);
    }
    NSLayoutAttribute before = vertical ? NSLayoutAttribute::top : NSLayoutAttribute::leading;
    NSLayoutAttribute after = vertical ? NSLayoutAttribute::bottom : NSLayoutAttribute::trailing;

    // Reads "-N-", "-" or nothing between two elements.
    auto connection = [&]() -> std::optional<CGFloat> {
        if (!s.starts_with('-')) return 0.0;
        s.remove_prefix(1);
        if (s.empty() || (!std::isdigit(static_cast<unsigned char>(s[0])) && s[0] != '.'))
            return kStandardSpacing;
        size_t n = 0;
        while (n < s.size() && (std::isdigit(static_cast<unsigned char>(s[n])) || s[n] == '.')) ++n;
        CGFloat value = std::stod(std::string(s.substr(0, n)));
        s.remove_prefix(n);
        if (!s.starts_with('-')) return std::nullopt;
        s.remove_prefix(1);
        return value;
    };

    std::vector<std::shared_ptr<NSLayoutConstraint>> result;
    UIView* previous = nullptr;  // null before the first view: the superview edge, if "|" opened
    bool openEdge = false;
    std::optional<CGFloat> gap;
    if (s.starts_with('|')) {
        s.remove_prefix(1);
        openEdge = true;
        gap = connection();
        if (!gap) return {};
    }
    while (s.starts_with('[')) {
        size_t close = s.find(']');
        if (close == std::string_view::npos) return {};
        auto it = views.find(std::string(s.substr(1, close - 1)));
        if (it == views.end() || !it->second) return {};
        UIView* view = it->second.get();
        s.remove_prefix(close + 1);
        if (previous) {
            result.push_back(
                constraintWithItem(view, before, NSLayoutRelation::equal, previous, after, 1, *gap));
        } else if (openEdge) {
            UIView* parent = view->superview().get();
            if (!parent) return {};
            result.push_back(
                constraintWithItem(view, before, NSLayoutRelation::equal, parent, before, 1, *gap));
        }
        previous = view;
        gap = connection();
        if (!gap) return {};
    }
    if (s.starts_with('|') && previous) {
        s.remove_prefix(1);
        UIView* parent = previous->superview().get();
        if (!parent) return {};
        result.push_back(
            constraintWithItem(parent, after, NSLayoutRelation::equal, previous, after, 1, *gap));
    } else if (previous && *gap != 0) {
        return {};  // a trailing connection to nothing
    }
    if (!s.empty() || !previous) return {};
    return result;
}

void NSLayoutConstraint::activateConstraints(
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints) {
    for (const auto& c : constraints) {
        if (c) c->setActive(true);
    }
}

void NSLayoutConstraint::setConstant(CGFloat constant) {
    if (constant == constant_) return;
    constant_ = constant;
    if (isActive()) markAffectedViews();
}

void NSLayoutConstraint::setPriority(UILayoutPriority priority) {
    priority = std::clamp(priority, 1.0f, UILayoutPriorityRequired);
    if (priority == priority_) return;
    priority_ = priority;
    if (isActive()) markAffectedViews();
}

void NSLayoutConstraint::setActive(bool active) {
    if (active == isActive()) return;
    if (!active) {
        markAffectedViews();
        uninstall();
        return;
    }
    if (!firstItem() || (secondItem_ && !secondItem())) return;
    UIView* owner = commonAncestor(firstItem_, secondItem_);
    if (!owner) {
        // Views in two trees cannot be tied; the platform would stop the app here.
        Console::print("Unable to activate constraint: its views have no common ancestor.");
        return;
    }
    installOn(owner);
    markAffectedViews();
}

void NSLayoutConstraint::installOn(UIView* owner) {
    owner_ = owner;
    owner->installed_.push_back(shared_from_this());
    firstItem_->naming_.push_back(this);
    if (secondItem_ && secondItem_ != firstItem_) secondItem_->naming_.push_back(this);
}

void NSLayoutConstraint::uninstall() {
    if (!owner_) return;
    // Keeps this object alive until the owner's list no longer holds it.
    auto keep = shared_from_this();
    if (firstItem_) std::erase(firstItem_->naming_, this);
    if (secondItem_) std::erase(secondItem_->naming_, this);
    std::erase_if(owner_->installed_, [this](const auto& c) { return c.get() == this; });
    owner_ = nullptr;
}

void NSLayoutConstraint::markAffectedViews() const {
    for (UIView* item : {firstItem_, secondItem_}) {
        if (!item) continue;
        if (auto parent = item->superview()) parent->setNeedsLayout();
    }
}

void NSLayoutConstraint::forgetView(UIView* view) {
    uninstall();
    if (firstItem_ == view) firstItem_ = nullptr;
    if (secondItem_ == view) secondItem_ = nullptr;
}

}  // namespace platform
