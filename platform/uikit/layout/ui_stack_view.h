#pragma once

#include <memory>
#include <vector>

#include "platform/uikit/views/ui_view.h"

namespace platform {

class NSLayoutConstraint;

enum class UILayoutConstraintAxis : int { horizontal = 0, vertical = 1 };
enum class UIStackViewDistribution : int { fill = 0, fillEqually = 1, fillProportionally = 2 };
enum class UIStackViewAlignment : int { fill = 0, leading = 1, center = 3, trailing = 4 };

// Lines up its arranged subviews along an axis with constraints of its own, remade in the layout pass
// after any change to the arrangement. Hidden arranged views take no room.
//  - fill: the views keep the sizes their own constraints (or content) give them and together fill the
//    stack; when they do not add up, the stack's edges win.
//  - fillEqually: all the same size.
//  - fillProportionally: sizes in proportion to the views' intrinsic sizes.
class UIStackView : public UIView {
public:
    UIStackView();
    explicit UIStackView(const CGRect& frame);
    explicit UIStackView(const std::vector<std::shared_ptr<UIView>>& arrangedSubviews);
    ~UIStackView() override;

    const std::vector<std::shared_ptr<UIView>>& arrangedSubviews() const { return arranged_; }
    // Also adds the view as the last subview and lays it out by constraints.
    void addArrangedSubview(const std::shared_ptr<UIView>& view);
    void insertArrangedSubview(const std::shared_ptr<UIView>& view, long index);

    UILayoutConstraintAxis axis() const { return axis_; }
    void setAxis(UILayoutConstraintAxis axis);
    UIStackViewDistribution distribution() const { return distribution_; }
    void setDistribution(UIStackViewDistribution distribution);
    UIStackViewAlignment alignment() const { return alignment_; }
    void setAlignment(UIStackViewAlignment alignment);
    CGFloat spacing() const { return spacing_; }
    void setSpacing(CGFloat spacing);

    void updateConstraints() override;
    void willRemoveSubview(UIView* subview) override;

protected:
    void subviewLayoutInputsChanged(UIView* subview) override;

private:
    void arrangementChanged();

    std::vector<std::shared_ptr<UIView>> arranged_;
    std::vector<std::shared_ptr<NSLayoutConstraint>> arrangement_;
    UILayoutConstraintAxis axis_ = UILayoutConstraintAxis::horizontal;
    UIStackViewDistribution distribution_ = UIStackViewDistribution::fill;
    UIStackViewAlignment alignment_ = UIStackViewAlignment::fill;
    CGFloat spacing_ = 0;
};

}  // namespace platform
