#pragma once

#include <memory>

#include "app/widgets/spinner/spinner_animating.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// A square activity indicator: one of fifteen looping layer animations (styles 0…14, see
// animationForStyle) in one colour. Stopping freezes the animations where they are (and hides the view
// when asked); starting lets them go on from that moment. A host calls the two application hooks when
// the app goes to the background and comes back. Main thread only.
class SpinnerView : public platform::UIView {
public:
    static constexpr platform::CGFloat kDefaultSpinnerSize = 37.0;

    SpinnerView(int style, std::shared_ptr<platform::UIColor> color, platform::CGFloat spinnerSize);
    SpinnerView(int style, std::shared_ptr<platform::UIColor> color);
    // In the system grey.
    explicit SpinnerView(int style);
    // Style 0, drawn at the default size, in the given frame.
    explicit SpinnerView(const platform::CGRect& frame);
    // As an interface file makes it: every field zero (style 0, no colour, size 0, not hiding when
    // stopped), animated from the start.
    SpinnerView();
    ~SpinnerView() override;

    // The style class of a number, or none outside 0…14.
    static std::unique_ptr<SpinnerAnimating> animationForStyle(int style);

    int style() const { return style_; }
    // Rebuilds the shapes and animations.
    void setStyle(int style);
    const std::shared_ptr<platform::UIColor>& color() const { return color_; }
    // Recolours the shapes; their animations go on.
    void setColor(std::shared_ptr<platform::UIColor> color);
    platform::CGFloat spinnerSize() const { return spinnerSize_; }
    // Rebuilds the shapes and animations at the new size.
    void setSpinnerSize(platform::CGFloat spinnerSize);
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides) { hidesWhenStopped_ = hides; }
    bool isStopped() const { return stopped_; }
    void setStopped(bool stopped) { stopped_ = stopped; }
    bool isAnimating() const { return !stopped_; }

    // Each does nothing when the spinner is already in the state asked for.
    void startAnimating();
    void stopAnimating();

    // Freezes the layer's clock at the current moment, and lets it run on from the frozen moment.
    void pauseLayers();
    void resumeLayers();
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();

    platform::CGSize sizeThatFits(platform::CGSize size) const override;
    platform::CGSize intrinsicContentSize() const override;

    // Replaces the shapes with those of the current style, size and colour.
    void applyAnimation();

private:
    int style_ = 0;
    std::shared_ptr<platform::UIColor> color_;
    platform::CGFloat spinnerSize_ = 0;
    bool hidesWhenStopped_ = false;
    bool stopped_ = false;
};

}  // namespace quorvel
