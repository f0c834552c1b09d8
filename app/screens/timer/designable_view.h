#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "app/screens/timer/designable_shadow.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// A value the storyboard sets on a designable view by the property's name.
using InspectableValue =
    std::variant<platform::CGFloat, bool, platform::CGSize, std::shared_ptr<platform::UIColor>>;

// A view of class `Base` (an image view, a plain view or a button) with a border, rounded or circular
// corners and a soft drop shadow, set in the storyboard by name or in code. The border and the corners
// change the layer at once; the shadow follows at the next drawing pass. A new view shows none of them
// and its layer is not clipped. Main thread.
template <typename Base>
class DesignableView : public Base {
public:
    // The base class's initialisers; the properties start at their initial values without touching
    // the layer.
    using Base::Base;

    platform::CGSize shadowOffset() const { return shadow_.offset; }
    void setShadowOffset(platform::CGSize offset) { shadow_.offset = offset; }
    platform::CGFloat shadowOpacity() const { return shadow_.opacity; }
    void setShadowOpacity(platform::CGFloat opacity) { shadow_.opacity = opacity; }
    platform::CGFloat shadowRadius() const { return shadow_.radius; }
    void setShadowRadius(platform::CGFloat radius) { shadow_.radius = radius; }
    platform::CGFloat shadowCornerRadius() const { return shadow_.cornerRadius; }
    void setShadowCornerRadius(platform::CGFloat radius) { shadow_.cornerRadius = radius; }
    const std::shared_ptr<platform::UIColor>& shadowColor() const { return shadow_.color; }
    void setShadowColor(std::shared_ptr<platform::UIColor> color) {
        shadow_.color = orClear(std::move(color));
    }
    const std::shared_ptr<platform::UIColor>& shadowFillColor() const { return shadow_.fillColor; }
    void setShadowFillColor(std::shared_ptr<platform::UIColor> color) {
        shadow_.fillColor = orClear(std::move(color));
    }
    // The layer the last drawing pass with a shadow colour made.
    const std::shared_ptr<platform::CAShapeLayer>& shadowLayer() const { return shadowLayer_.layer(); }

    platform::CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(platform::CGFloat width) {
        borderWidth_ = width;
        applyBorder();
    }
    const std::shared_ptr<platform::UIColor>& borderColor() const { return borderColor_; }
    void setBorderColor(std::shared_ptr<platform::UIColor> color) {
        borderColor_ = orClear(std::move(color));
        applyBorder();
    }
    platform::CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(platform::CGFloat radius) {
        cornerRadius_ = radius;
        applyCorners();
    }
    // A circle's corner radius is half the view's height when set.
    bool isCircle() const { return isCircle_; }
    void setIsCircle(bool circle) {
        isCircle_ = circle;
        applyCorners();
    }

    // By the property's name, as the storyboard sets it; false for an unknown name or a value of
    // another type.
    bool setValueForKey(const std::string& key, const InspectableValue& value) {
        using platform::CGFloat;
        using platform::CGSize;
        using Color = std::shared_ptr<platform::UIColor>;
        if (const auto* number = std::get_if<CGFloat>(&value)) {
            if (key == "shadowOpacity") return setShadowOpacity(*number), true;
            if (key == "shadowRadius") return setShadowRadius(*number), true;
            if (key == "shadowCornerRadius") return setShadowCornerRadius(*number), true;
            if (key == "borderWidth") return setBorderWidth(*number), true;
            if (key == "cornerRadius") return setCornerRadius(*number), true;
        } else if (const auto* size = std::get_if<CGSize>(&value)) {
            if (key == "shadowOffset") return setShadowOffset(*size), true;
        } else if (const auto* color = std::get_if<Color>(&value)) {
            if (key == "shadowColor") return setShadowColor(*color), true;
            if (key == "shadowFillColor") return setShadowFillColor(*color), true;
            if (key == "borderColor") return setBorderColor(*color), true;
        } else if (const auto* flag = std::get_if<bool>(&value)) {
            if (key == "isCircle") return setIsCircle(*flag), true;
        }
        return false;
    }
    std::optional<InspectableValue> valueForKey(const std::string& key) const {
        if (key == "shadowOffset") return shadowOffset();
        if (key == "shadowOpacity") return shadowOpacity();
        if (key == "shadowRadius") return shadowRadius();
        if (key == "shadowCornerRadius") return shadowCornerRadius();
        if (key == "shadowColor") return shadowColor();
        if (key == "shadowFillColor") return shadowFillColor();
        if (key == "borderWidth") return borderWidth();
        if (key == "borderColor") return borderColor();
        if (key == "cornerRadius") return cornerRadius();
        if (key == "isCircle") return isCircle();
        return std::nullopt;
    }

    // Draws as the base class does, then brings the shadow up to date. A shadow changed while the frame
    // is drawn shows in the next, which a layout pass asks for.
    void drawRect(const platform::CGRect& rect) override {
        Base::drawRect(rect);
        if (shadowLayer_.drawingPass(*this, shadow_)) this->setNeedsLayout();
    }
    // A view laid out is about to be drawn: its shadow is ready before the frame that shows it.
    void layoutSubviews() override {
        Base::layoutSubviews();
        shadowLayer_.drawingPass(*this, shadow_);
    }
    void willMoveToSuperview(platform::UIView* newSuperview) override {
        Base::willMoveToSuperview(newSuperview);
        shadowLayer_.takeOffScreen();
    }

private:
    static std::shared_ptr<platform::UIColor> orClear(std::shared_ptr<platform::UIColor> color) {
        return color ? std::move(color) : platform::UIColor::clearColor();
    }
    void applyBorder() {
        const auto& layer = this->layer();
        layer->setBorderWidth(borderWidth_);
        layer->setBorderColor(borderColor_->CGColor());
    }
    void applyCorners() {
        const auto& layer = this->layer();
        layer->setMasksToBounds(true);
        layer->setCornerRadius(isCircle_ ? this->bounds().size.height / 2 : cornerRadius_);
    }

    ShadowStyle shadow_{{0, 1}, 0, 0, 0, platform::UIColor::clearColor(), platform::UIColor::clearColor()};
    DesignableShadow shadowLayer_;
    platform::CGFloat borderWidth_ = 0;
    std::shared_ptr<platform::UIColor> borderColor_ = platform::UIColor::clearColor();
    platform::CGFloat cornerRadius_ = 0;
    bool isCircle_ = false;
};

}  // namespace quorvel
