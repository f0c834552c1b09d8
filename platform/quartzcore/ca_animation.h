#pragma once

#include <any>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/quartzcore/ca_media_timing_function.h"
#include "platform/quartzcore/ca_value.h"

namespace platform {

class CAAnimation;

// Told when an animation starts and stops. An animation holds its delegate strongly, as the platform
// does; the animation is dropped when it stops, so the delegate lives as long as the animation runs.
class CAAnimationDelegate {
public:
    virtual ~CAAnimationDelegate() = default;
    virtual void animationDidStart(const std::shared_ptr<CAAnimation>& animation) { (void)animation; }
    virtual void animationDidStop(const std::shared_ptr<CAAnimation>& animation, bool finished) {
        (void)animation;
        (void)finished;
    }
};

// What an animation shows outside its active time: nothing (removed), its first value before it starts
// (backwards), its last value after it ends (forwards), or both.
enum class CAFillMode { removed, forwards, backwards, both };

// An animation record with media timing. A layer keeps a copy of the animation added to it, so the
// object a caller configured can be changed and added again. Times are in the layer's local time (see
// CALayer); beginTime 0 means "when added". Main thread only.
class CAAnimation : public std::enable_shared_from_this<CAAnimation> {
public:
    using Completion = std::function<void(bool finished)>;
    static constexpr float kRepeatForever = std::numeric_limits<float>::infinity();

    virtual ~CAAnimation() = default;
    virtual std::shared_ptr<CAAnimation> copy() const = 0;

    double beginTime() const { return beginTime_; }
    void setBeginTime(double t) { beginTime_ = t; }
    // 0 takes the transaction's animation duration (0.25 s unless set) when the animation is added.
    double duration() const { return duration_; }
    void setDuration(double d) { duration_ = d; }
    float speed() const { return speed_; }
    void setSpeed(float s) { speed_ = s; }
    double timeOffset() const { return timeOffset_; }
    void setTimeOffset(double t) { timeOffset_ = t; }
    // Fractional counts end part-way through a cycle; kRepeatForever never ends.
    float repeatCount() const { return repeatCount_; }
    void setRepeatCount(float n) { repeatCount_ = n; }
    void setAutoreverses(bool v) { autoreverses_ = v; }
    void setFillMode(CAFillMode m) { fillMode_ = m; }
    // None means linear.
    const std::shared_ptr<CAMediaTimingFunction>& timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::shared_ptr<CAMediaTimingFunction> f) { timingFunction_ = std::move(f); }
    bool isRemovedOnCompletion() const { return removedOnCompletion_; }
    void setRemovedOnCompletion(bool v) { removedOnCompletion_ = v; }

    const std::shared_ptr<CAAnimationDelegate>& delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<CAAnimationDelegate> d) { delegate_ = std::move(d); }
    // Called once when the animation stops, after the delegate: finished is false when it was removed
    // or replaced (or its layer destroyed) before its end.
    const Completion& completion() const { return completion_; }
    void setCompletion(Completion c) { completion_ = std::move(c); }

    // Free-form values carried by the animation (and its copies), e.g. a stored handler.
    void setValue(const std::string& key, std::any value) { values_[key] = std::move(value); }
    std::any valueForKey(const std::string& key) const;

    // --- Timing ---------------------------------------------------------------------------------
    // One cycle: the duration, twice over when autoreversing.
    double cycleDuration() const { return duration_ * (autoreverses_ ? 2 : 1); }
    // All cycles, in the animation's own time; infinite when it repeats forever.
    double activeDuration() const;
    // When the animation ends, in its parent's (the layer's) time; infinite when it never does.
    double endTime() const;
    // The elapsed fraction of the simple duration at `parentTime` (0…1, before the timing function), or
    // nothing when the animation shows nothing then. With inclusiveEnd the very end still counts as
    // running, as it does for the children of a group that end with it.
    std::optional<double> unitFraction(double parentTime, bool inclusiveEnd = false) const;
    // The timing function applied to a unit fraction.
    double progress(double unit) const { return timingFunction_ ? timingFunction_->solve(unit) : unit; }

    // --- Effect ---------------------------------------------------------------------------------
    // Applies the animation at `parentTime` to the value of the layer property `property` (a top-level
    // name such as "position"), over what earlier animations and the model gave it.
    virtual void apply(const std::string& property, CAValue& value, double parentTime,
                       bool inclusiveEnd) const;
    // Adds the top-level properties it animates.
    virtual void collectProperties(std::vector<std::string>& out) const { (void)out; }

    // Fills in what "0" means on the copy a layer keeps: the begin time `layerTime` and the duration.
    virtual void prepareForLayer(double layerTime, double defaultDuration);

protected:
    CAAnimation() = default;
    CAAnimation(const CAAnimation&) = default;
    CAAnimation& operator=(const CAAnimation&) = default;

private:
    double beginTime_ = 0;
    double duration_ = 0;
    float speed_ = 1;
    double timeOffset_ = 0;
    float repeatCount_ = 0;
    bool autoreverses_ = false;
    CAFillMode fillMode_ = CAFillMode::removed;
    std::shared_ptr<CAMediaTimingFunction> timingFunction_;
    bool removedOnCompletion_ = true;
    std::shared_ptr<CAAnimationDelegate> delegate_;
    Completion completion_;
    std::map<std::string, std::any> values_;
};

}  // namespace platform
