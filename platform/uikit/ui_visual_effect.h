#pragma once

#include <memory>

namespace platform {

enum class UIBlurEffectStyle : int { extraLight = 0, light = 1, dark = 2 };

// What a visual-effect view would show over what lies behind it. The renderer has no live blur, so an
// effect is a description that views keep and pass on.
class UIVisualEffect {
public:
    virtual ~UIVisualEffect() = default;
};

class UIBlurEffect : public UIVisualEffect {
public:
    explicit UIBlurEffect(UIBlurEffectStyle style) : style_(style) {}
    static std::shared_ptr<UIBlurEffect> effectWithStyle(UIBlurEffectStyle style) {
        return std::make_shared<UIBlurEffect>(style);
    }

    UIBlurEffectStyle style() const { return style_; }

private:
    UIBlurEffectStyle style_;
};

}  // namespace platform
