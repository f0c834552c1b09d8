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
    const std::string& subtype() const { return subtype_; }
    void setSubtype(std::string s) { subtype_ = std::move(s); }
    double startProgress() const { return startProgress_; }
    void setStartProgress(double p) { startProgress_ = p; }
    double endProgress() const { return endProgress_; }
    void setEndProgress(double p) { endProgress_ = p; }

    // How far the transition has gone at `parentTime`, from startProgress to endProgress, or nothing when
    // it shows nothing then.
    std::optional<double> transitionProgress(double parentTime) const;

    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<CATransition>(*this); }

    CATransition() = default;

private:
    std::string type_ = kCATransitionFade;
    std::string subtype_;
    double startProgress_ = 0;
    double endProgress_ = 1;
};

}  // namespace platform
