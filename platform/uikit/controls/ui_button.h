#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/uikit/controls/ui_control.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

enum class UIButtonType : int { custom = 0, system = 1 };

// A control showing a title and an image side by side (image first) over a background image, each
// chosen per state: the value set for the exact state, else the one for the normal state. A system
// button's title takes the tint colour unless a colour is set.
class UIButton : public UIControl {
public:
    UIButton();
    explicit UIButton(const CGRect& frame);
    static std::shared_ptr<UIButton> buttonWithType(UIButtonType type);


    void setTitle(const std::string& title, unsigned state);
    void setTitleColor(std::shared_ptr<UIColor> color, unsigned state);
    void setImage(std::shared_ptr<UIImage> image, unsigned state);
    void setBackgroundImage(std::shared_ptr<UIImage> image, unsigned state);
    std::optional<std::string> titleForState(unsigned state) const;
    std::shared_ptr<UIColor> titleColorForState(unsigned state) const;
    std::shared_ptr<UIImage> imageForState(unsigned state) const;
    std::shared_ptr<UIImage> backgroundImageForState(unsigned state) const;

    std::optional<std::string> currentTitle() const { return titleForState(state()); }
    std::shared_ptr<UIColor> currentTitleColor() const { return titleColorForState(state()); }
    std::shared_ptr<UIImage> currentImage() const { return imageForState(state()); }
    std::shared_ptr<UIImage> currentBackgroundImage() const { return backgroundImageForState(state()); }

    const std::shared_ptr<UILabel>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<UIImageView>& imageView() const { return imageView_; }

    void setContentEdgeInsets(const UIEdgeInsets& insets);
    void setTitleEdgeInsets(const UIEdgeInsets& insets);
    void setImageEdgeInsets(const UIEdgeInsets& insets);

    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override { return sizeThatFits({0, 0}); }
    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    void tintColorDidChange() override { stateDidChange(); }

protected:
    // For subclasses of a given type; the title and image views join the button with its first change.
    explicit UIButton(UIButtonType type);
    void stateDidChange() override;
    // A new font or text of the title (or a new image) changes the button's size and where they go.
    void subviewLayoutInputsChanged(UIView* subview) override;

private:
    void setUp();
    CGSize titleSize() const;
    CGSize imageSize() const;
    template <typename T>
    static T lookup(const std::map<unsigned, T>& values, unsigned state);

    UIButtonType type_ = UIButtonType::custom;
    std::map<unsigned, std::string> titles_;
    std::map<unsigned, std::shared_ptr<UIColor>> titleColors_;
    std::map<unsigned, std::shared_ptr<UIImage>> images_;
    std::map<unsigned, std::shared_ptr<UIImage>> backgroundImages_;
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UIImageView> imageView_;
    UIEdgeInsets contentInsets_;
    UIEdgeInsets titleInsets_;
    UIEdgeInsets imageInsets_;
};

}  // namespace platform
