#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/quartzcore/ca_animation.h"

namespace platform {

inline const std::string kCATransitionFade = "fade";

// A transition of a layer's whole content (the renderer cross-fades from a snapshot of the old
// content to the new): only "fade" is used. It changes no property value; the renderer reads its
// progress from the layer.
class CATransition : public CAAnimation {
public:
    static std::shared_ptr<CATransition> animation() { return std::make_shared<CATransition>(); }

    const std::string& type() const { return type_; }
    void setType(std::string t) { type_ = std::move(t); }

    // How far the transition has gone at `parentTime`, from 0 to 1, or nothing when it shows nothing then.
    std::optional<double> transitionProgress(double parentTime) const;

    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<CATransition>(*this); }

    CATransition() = default;

private:
    std::string type_ = kCATransitionFade;
};

}  // namespace platform
