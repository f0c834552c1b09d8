#pragma once

#include "platform/uikit/ui_view.h"

namespace platform {

enum UIControlState : unsigned {
    UIControlStateNormal = 0,
    UIControlStateHighlighted = 1 << 0,
    UIControlStateDisabled = 1 << 1,
    UIControlStateSelected = 1 << 2,
};

enum class UIControlContentHorizontalAlignment : int { center = 0, left = 1, right = 2, fill = 3 };
enum class UIControlContentVerticalAlignment : int { center = 0, top = 1, bottom = 2, fill = 3 };

// A view with the enabled, selected and highlighted states that controls show. A change of state calls
// stateDidChange, where a control updates what it shows.
class UIControl : public UIView {
public:
    UIControl() = default;
    explicit UIControl(const CGRect& frame) : UIView(frame) {}

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    unsigned state() const;

    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return horizontal_; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment a);
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return vertical_; }
    void setContentVerticalAlignment(UIControlContentVerticalAlignment a);

protected:
    virtual void stateDidChange() {}

private:
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    UIControlContentHorizontalAlignment horizontal_ = UIControlContentHorizontalAlignment::center;
    UIControlContentVerticalAlignment vertical_ = UIControlContentVerticalAlignment::center;
};

}  // namespace platform
