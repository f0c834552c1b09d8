#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "app/widgets/intro/introduction_delegate.h"
#include "app/widgets/intro/introduction_panel.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/controls/ui_page_control.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"

namespace quorvel {

enum LanguageDirection : long {
    LanguageDirectionLeftToRight = 0,
    // The first panel on the right; the closing page left of the last.
    LanguageDirectionRightToLeft = 1,
};

// A short introduction: full-size panels in a paging scroll view over a background image and colour,
// with a page control. The panel coming into view has its parts slid and faded in. Scrolling from the
// last panel onto an empty closing page fades the whole view out and tells the delegate the
// introduction is over; so does skipping it. Removing the view is the delegate's business. Main thread.
class BlurIntroductionView : public platform::UIView, public platform::UIScrollViewDelegate {
public:
    static constexpr double kPanelAnimationDuration = 0.3;

    explicit BlurIntroductionView(const platform::CGRect& frame);
    ~BlurIntroductionView() override;

    std::shared_ptr<IntroductionDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<IntroductionDelegate> delegate) { delegate_ = std::move(delegate); }

    const std::shared_ptr<platform::UIImageView>& BackgroundImageView() const { return BackgroundImageView_; }
    // Made when the panels are built.
    const std::shared_ptr<platform::UIView>& BackgroundColorView() const { return BackgroundColorView_; }
    // A slot for a view over the background; nothing here fills it.
    const std::shared_ptr<platform::UIView>& BlurView() const { return BlurView_; }
    void setBlurView(std::shared_ptr<platform::UIView> view) { BlurView_ = std::move(view); }
    const std::shared_ptr<platform::UIScrollView>& MasterScrollView() const { return MasterScrollView_; }
    const std::shared_ptr<platform::UIPageControl>& PageControl() const { return PageControl_; }
    // Made but not placed: a host that wants them adds them. The one against the reading direction hides.
    const std::shared_ptr<platform::UIButton>& LeftSkipButton() const { return LeftSkipButton_; }
    const std::shared_ptr<platform::UIButton>& RightSkipButton() const { return RightSkipButton_; }
    long CurrentPanelIndex() const { return CurrentPanelIndex_; }
    void setCurrentPanelIndex(long index) { CurrentPanelIndex_ = index; }
    // Set before the panels are built.
    enum LanguageDirection LanguageDirection() const { return LanguageDirection_; }
    void setLanguageDirection(enum LanguageDirection direction) { LanguageDirection_ = direction; }
    const std::shared_ptr<platform::UIColor>& UserBackgroundColor() const { return UserBackgroundColor_; }
    const std::optional<std::vector<std::shared_ptr<IntroductionPanel>>>& Panels() const { return Panels_; }
    long LastPanelIndex() const { return LastPanelIndex_; }

    // Takes the panels (none at all, or an empty list, only logs) and lays them out in the reading direction.
    void buildIntroductionWithPanels(std::optional<std::vector<std::shared_ptr<IntroductionPanel>>> panels);
    // Scrolls to panel `index` (in panel order) and brings it in; the current panel or one that does not
    // exist is refused with a log line.
    void changeToPanelAtIndex(long index);
    void skipIntroduction();
    // Fades the view out; it stays where it is.
    void hideWithFadeOutDuration(double duration);
    // Shows the skip button of the reading direction and lets the panels scroll, or hides both and stops it.
    void setEnabled(bool enabled);
    // Colours the background colour view, not the view itself.
    void setBackgroundColor(const std::shared_ptr<platform::UIColor>& color) override;

    void scrollViewDidScroll(platform::UIScrollView& scrollView) override;
    void scrollViewWillBeginDragging(platform::UIScrollView& scrollView) override { (void)scrollView; }
    void scrollViewDidEndDecelerating(platform::UIScrollView& scrollView) override;

private:
    void addPanelsToScrollView();
    void animatePanelAtIndex(long index);
    long panelCount() const;
    // The panel in panel order, if there is one.
    std::shared_ptr<IntroductionPanel> panelAt(long index) const;
    // What a scroll step or index means in this reading direction: the page index is the panel index
    // left to right, and counts from the other end right to left.
    long panelIndexForPage(long page) const;
    void tellChange(long index);
    void tellFinish(IntroductionFinishType type);

    std::weak_ptr<IntroductionDelegate> delegate_;
    std::shared_ptr<platform::UIImageView> BackgroundImageView_;
    std::shared_ptr<platform::UIView> BackgroundColorView_;
    std::shared_ptr<platform::UIView> BlurView_;
    std::shared_ptr<platform::UIScrollView> MasterScrollView_;
    std::shared_ptr<platform::UIPageControl> PageControl_;
    std::shared_ptr<platform::UIButton> LeftSkipButton_;
    std::shared_ptr<platform::UIButton> RightSkipButton_;
    long CurrentPanelIndex_ = 0;
    enum LanguageDirection LanguageDirection_ = LanguageDirectionLeftToRight;
    std::shared_ptr<platform::UIColor> UserBackgroundColor_;
    std::optional<std::vector<std::shared_ptr<IntroductionPanel>>> Panels_;
    long LastPanelIndex_ = 0;
};

}  // namespace quorvel
