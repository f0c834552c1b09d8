#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

class UIView;

enum class NSLayoutAttribute : int {
    notAnAttribute = 0,
    left = 1,
    right = 2,
    top = 3,
    bottom = 4,
    leading = 5,
    trailing = 6,
    width = 7,
    height = 8,
    centerX = 9,
    centerY = 10,
};

// Only equalities are laid out; the app ties nothing by inequality.
enum class NSLayoutRelation : int { equal = 0 };

using UILayoutPriority = float;
inline constexpr UILayoutPriority UILayoutPriorityRequired = 1000;
inline constexpr UILayoutPriority UILayoutPriorityDefaultLow = 250;

// firstItem.firstAttribute = multiplier × secondItem.secondAttribute + constant, at a priority.
//
// An active constraint is held by the nearest common ancestor of its views and ties their frames in the
// layout pass of that ancestor's subtree. It is deactivated when either view leaves the other's tree or
// is destroyed; a constraint kept by the app after its view is gone names no view and cannot be
// activated again.
class NSLayoutConstraint : public std::enable_shared_from_this<NSLayoutConstraint> {
public:
    static std::shared_ptr<NSLayoutConstraint> constraintWithItem(UIView* item, NSLayoutAttribute attribute,
                                                                  NSLayoutRelation relation, UIView* toItem,
                                                                  NSLayoutAttribute toAttribute,
                                                                  CGFloat multiplier, CGFloat constant);

    // The visual format subset the app uses: "H:|-8-[name]-8-|", "V:|[name]|", "H:|-0-[name]", with
    // `views` naming the views. Anything else answers no constraints.
    static std::vector<std::shared_ptr<NSLayoutConstraint>> constraintsWithVisualFormat(
        const std::string& format, const std::map<std::string, std::shared_ptr<UIView>>& views);

    static void activateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);

    // Null once the view is gone.
    UIView* firstItem() const { return firstRef_.expired() ? nullptr : firstItem_; }
    UIView* secondItem() const { return secondRef_.expired() ? nullptr : secondItem_; }
    NSLayoutAttribute firstAttribute() const { return firstAttribute_; }
    NSLayoutRelation relation() const { return relation_; }
    CGFloat multiplier() const { return multiplier_; }

    CGFloat constant() const { return constant_; }
    void setConstant(CGFloat constant);
    UILayoutPriority priority() const { return priority_; }
    // Clamped to 1…1000.
    void setPriority(UILayoutPriority priority);
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(const std::string& identifier) { identifier_ = identifier; }

    bool isActive() const { return owner_ != nullptr; }
    // Activation needs the views in one tree; without a common ancestor the constraint stays inactive.
    void setActive(bool active);
    // The view that holds the constraint while it is active.
    UIView* owner() const { return owner_; }

    // Public for make_shared; use the factories.
    NSLayoutConstraint(UIView* item, NSLayoutAttribute attribute, NSLayoutRelation relation, UIView* toItem,
                       NSLayoutAttribute toAttribute, CGFloat multiplier, CGFloat constant);

private:
    friend class UIView;
    friend class UIStackView;
    friend class ConstraintLayout;
    friend class NSLayoutAnchor;

    void installOn(UIView* owner);
    void uninstall();
    // The views whose layout pass resolves this constraint are marked for layout.
    void markAffectedViews() const;
    void forgetView(UIView* view);

    // The raw pointers are valid while active (a view deactivates what names it as it goes); the weak
    // references tell an inactive constraint that its view is gone.
    UIView* firstItem_;
    UIView* secondItem_;
    std::weak_ptr<UIView> firstRef_;
    std::weak_ptr<UIView> secondRef_;
    NSLayoutAttribute firstAttribute_;
    NSLayoutAttribute secondAttribute_;
    NSLayoutRelation relation_;
    CGFloat multiplier_;
    CGFloat constant_;
    UILayoutPriority priority_ = UILayoutPriorityRequired;
    std::string identifier_;
    UIView* owner_ = nullptr;
    // Made by a stack view for its arrangement; taken before the app's own at the same priority.
    bool arrangement_ = false;
    // The item's safe area stands for the item (only where the item is not one being placed).
    bool firstSafeArea_ = false;
    bool secondSafeArea_ = false;
};

}  // namespace platform
