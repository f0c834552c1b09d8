#include "app/widgets/intro/blur_introduction_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/foundation/console.h"
#include "platform/foundation/ns_localized_string.h"
#include "platform/uikit/text/ns_attributed_string.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kPageControlWidth = 148;
constexpr CGFloat kControlHeight = 37;
// The page control and the skip buttons stand this far above the bottom edge.
constexpr CGFloat kControlRise = 48;
constexpr CGFloat kSkipButtonInset = 10;
constexpr CGFloat kLeftSkipButtonWidth = 46;
constexpr CGFloat kClosingPageHeight = 400;
constexpr CGFloat kSlide = 10;

CGRect shifted(CGRect frame, CGFloat dx, CGFloat dy) {
    frame.origin.x += dx;
    frame.origin.y += dy;
    return frame;
}

}  // namespace

BlurIntroductionView::BlurIntroductionView(const CGRect& frame) : UIView(frame) {
    const CGFloat width = frame.size.width;
    const CGFloat height = frame.size.height;
    const CGRect area(0, 0, width, height);

    BackgroundImageView_ = std::make_shared<UIImageView>(area);
    BackgroundImageView_->setContentMode(UIViewContentMode::scaleAspectFill);
    BackgroundImageView_->setAutoresizingMask(UIViewAutoresizingFlexibleHeight);
    addSubview(BackgroundImageView_);

    MasterScrollView_ = std::make_shared<UIScrollView>(area);
    MasterScrollView_->setPagingEnabled(true);
    MasterScrollView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth |
                                           UIViewAutoresizingFlexibleHeight);
    MasterScrollView_->setShowsHorizontalScrollIndicator(false);
    MasterScrollView_->setShowsVerticalScrollIndicator(false);
    addSubview(MasterScrollView_);

    PageControl_ = std::make_shared<UIPageControl>(
        CGRect((width - kPageControlWidth) / 2, height - kControlRise, kPageControlWidth, kControlHeight));
    PageControl_->setCurrentPage(0);
    PageControl_->setUserInteractionEnabled(false);
    addSubview(PageControl_);

    const std::string skip = NSLocalizedString("Skip", "");
    const auto font = UIFont::systemFontOfSize(16);
    const CGFloat titleWidth = std::ceil(NSAttributedString(skip, {font, nullptr}).size().width);
    const auto makeSkipButton = [&](const CGRect& buttonFrame) {
        auto button = UIButton::buttonWithType(UIButtonType::custom);
        button->setFrame(buttonFrame);
        button->setTitle(skip, UIControlStateNormal);
        button->titleLabel()->setFont(font);
        button->addTarget(
            this, [this](UIControl&) { skipIntroduction(); }, UIControlEventTouchUpInside);
        return button;
    };
    LeftSkipButton_ =
        makeSkipButton(CGRect(kSkipButtonInset, height - kControlRise, kLeftSkipButtonWidth, kControlHeight));
    RightSkipButton_ = makeSkipButton(
        CGRect(width - titleWidth - kSkipButtonInset, height - kControlRise, titleWidth, kControlHeight));
}

// A host may keep the skip buttons longer than the view they skip.
BlurIntroductionView::~BlurIntroductionView() {
    LeftSkipButton_->removeTarget(this, UIControlEventAllEvents);
    RightSkipButton_->removeTarget(this, UIControlEventAllEvents);
}

void BlurIntroductionView::setBackgroundColor(const std::shared_ptr<UIColor>& color) {
    UserBackgroundColor_ = color;
    if (BackgroundColorView_) BackgroundColorView_->setBackgroundColor(color);
}

// Panels -----------------------------------------------------------------------------------------------

void BlurIntroductionView::buildIntroductionWithPanels(
    std::optional<std::vector<std::shared_ptr<IntroductionPanel>>> panels) {
    auto self = std::static_pointer_cast<BlurIntroductionView>(shared_from_this());
    Panels_ = std::move(panels);
    if (Panels_) {
        for (const auto& panel : *Panels_) panel->setParentIntroductionView(self);
    }
    // Only now does the view live where the scroll view can hold it weakly.
    MasterScrollView_->setDelegate(self);
    BackgroundColorView_ = std::make_shared<UIView>(CGRect(CGPoint{}, bounds().size));
    BackgroundColorView_->setBackgroundColor(UserBackgroundColor_);
    insertSubviewBelowSubview(BackgroundColorView_, MasterScrollView_);
    addPanelsToScrollView();
}

void BlurIntroductionView::addPanelsToScrollView() {
    const std::string missing = "You must pass in panels for the introduction view to have content. ";
    if (!Panels_) return Console::print(missing + "The panels object was nil.");
    if (Panels_->empty()) return Console::print(missing + "0 panels were found");

    const long count = panelCount();
    const CGFloat width = bounds().size.width;
    const CGFloat height = bounds().size.height;
    PageControl_->setNumberOfPages(count);
    if (LanguageDirection_ == LanguageDirectionRightToLeft) {
        RightSkipButton_->setHidden(true);
        CGFloat x = width * count;
        MasterScrollView_->setContentSize({x + width, height});
        for (const auto& panel : *Panels_) {
            panel->setFrame(CGRect(x, 0, width, height));
            MasterScrollView_->addSubview(panel);
            x -= panel->frame().size.width;
        }
        MasterScrollView_->addSubview(std::make_shared<UIView>(CGRect(x, 0, width, kClosingPageHeight)));
        MasterScrollView_->setContentOffset({width * count, 0});
        // The first panel is the rightmost page; the index counts pages from the left, less the closing one.
        PageControl_->setCurrentPage(count - 1);
        CurrentPanelIndex_ = count - 1;
    } else {
        LeftSkipButton_->setHidden(true);
        CGFloat x = 0;
        for (const auto& panel : *Panels_) {
            panel->setFrame(CGRect(x, 0, width, height));
            MasterScrollView_->addSubview(panel);
            x += panel->frame().size.width;
        }
        MasterScrollView_->addSubview(std::make_shared<UIView>(CGRect(x, 0, width, kClosingPageHeight)));
        x += MasterScrollView_->bounds().size.width;
        MasterScrollView_->setContentSize({x, height});
    }
    animatePanelAtIndex(0);
}

long BlurIntroductionView::panelCount() const {
    return Panels_ ? static_cast<long>(Panels_->size()) : 0;
}

std::shared_ptr<IntroductionPanel> BlurIntroductionView::panelAt(long index) const {
    if (index < 0 || index >= panelCount()) return nullptr;
    return (*Panels_)[static_cast<std::size_t>(index)];
}

long BlurIntroductionView::panelIndexForPage(long page) const {
    return LanguageDirection_ == LanguageDirectionRightToLeft ? panelCount() - 1 - page : page;
}

void BlurIntroductionView::animatePanelAtIndex(long index) {
    if (Panels_) {
        for (const auto& panel : *Panels_) {
            for (const auto& part : {std::static_pointer_cast<UIView>(panel->PanelTitleLabel()),
                                     std::static_pointer_cast<UIView>(panel->PanelDescriptionLabel()),
                                     panel->PanelSeparatorLine(), panel->PanelHeaderView(),
                                     std::static_pointer_cast<UIView>(panel->PanelImageView())}) {
                if (part) part->setAlpha(0);
            }
        }
    }
    const auto panel = panelAt(index);
    if (!panel || (panel->isCustomPanel() && !panel->hasCustomAnimation())) return;

    // Each part starts a little off its place and glides back as it fades in: title and separator (with
    // the header) first, then the description and the image.
    struct Part {
        std::shared_ptr<UIView> view;
        CGRect frame;
    };
    const auto part = [](std::shared_ptr<UIView> view, CGFloat dx, CGFloat dy) {
        if (!view) return Part{};
        const CGRect frame = view->frame();
        view->setFrame(shifted(frame, dx, dy));
        return Part{std::move(view), frame};
    };
    const Part title = part(panel->PanelTitleLabel(), kSlide, 0);
    const Part description = part(panel->PanelDescriptionLabel(), kSlide, 0);
    const Part header = part(panel->PanelHeaderView(), 0, -kSlide);
    const Part image = part(panel->PanelImageView(), 0, kSlide);
    const auto separator = panel->PanelSeparatorLine();
    const auto bringBack = [](const Part& p) {
        if (!p.view) return;
        p.view->setAlpha(1);
        p.view->setFrame(p.frame);
    };
    UIView::animateWithDuration(
        kPanelAnimationDuration,
        [&] {
            bringBack(title);
            if (separator) separator->setAlpha(1);
            bringBack(header);
        },
        [description, image, bringBack](bool) {
            UIView::animateWithDuration(kPanelAnimationDuration, [&] {
                bringBack(description);
                bringBack(image);
            });
        });
}

void BlurIntroductionView::changeToPanelAtIndex(long index) {
    const long count = panelCount();
    const auto current = panelAt(panelIndexForPage(CurrentPanelIndex_));
    const auto target = panelAt(index);
    if (!target || target == current) {
        Console::print("The index: " + std::to_string(index) + " is out of range for Panels array[0..." +
                       std::to_string(count - 1) + "]");
        return;
    }
    if (current) current->panelDidDisappear();
    MasterScrollView_->scrollRectToVisible(target->frame(), true);
    CurrentPanelIndex_ = panelIndexForPage(index);
    animatePanelAtIndex(index);
    PageControl_->setCurrentPage(panelIndexForPage(index));
    target->panelDidAppear();
    tellChange(index);
}

void BlurIntroductionView::skipIntroduction() {
    tellFinish(IntroductionFinishTypeSkipped);
    hideWithFadeOutDuration(0.3);
}

void BlurIntroductionView::hideWithFadeOutDuration(double duration) {
    UIView::animateWithDuration(duration, [this] { setAlpha(0); });
}

void BlurIntroductionView::setEnabled(bool enabled) {
    const bool rightToLeft = LanguageDirection_ == LanguageDirectionRightToLeft;
    UIView::animateWithDuration(0.3, [&] {
        LeftSkipButton_->setAlpha(enabled && rightToLeft ? 1 : 0);
        RightSkipButton_->setAlpha(enabled && !rightToLeft ? 1 : 0);
        MasterScrollView_->setScrollEnabled(enabled);
    });
}

void BlurIntroductionView::tellChange(long index) {
    const auto panel = panelAt(index);
    if (auto delegate = delegate_.lock(); delegate && panel) delegate->introduction(*this, *panel, index);
}

void BlurIntroductionView::tellFinish(IntroductionFinishType type) {
    if (auto delegate = delegate_.lock()) delegate->introduction(*this, type);
}

// Scrolling --------------------------------------------------------------------------------------------

void BlurIntroductionView::scrollViewDidScroll(UIScrollView& scrollView) {
    const CGFloat pageWidth = scrollView.bounds().size.width;
    if (!(pageWidth > 0)) return;
    const CGFloat x = scrollView.contentOffset().x;
    // Between the last panel and the closing page the whole view fades with the distance scrolled.
    std::optional<CGFloat> alpha;
    if (LanguageDirection_ == LanguageDirectionLeftToRight && CurrentPanelIndex_ == panelCount() - 1) {
        alpha = (pageWidth * panelCount() - x) / pageWidth;
    } else if (LanguageDirection_ == LanguageDirectionRightToLeft && CurrentPanelIndex_ == 0) {
        alpha = x / pageWidth;
    }
    if (alpha) setAlpha(std::clamp(*alpha, 0.0, 1.0));
}

void BlurIntroductionView::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
    const CGFloat pageWidth = scrollView.bounds().size.width;
    if (!(pageWidth > 0)) return;
    const long count = panelCount();
    const CGFloat x = scrollView.contentOffset().x;
    if (LanguageDirection_ == LanguageDirectionLeftToRight) {
        CurrentPanelIndex_ = static_cast<long>(std::trunc(x / pageWidth));
        if (CurrentPanelIndex_ == count) {
            if (const auto shown = panelAt(PageControl_->currentPage())) shown->panelDidDisappear();
            return tellFinish(IntroductionFinishTypeSwipeOut);
        }
        LastPanelIndex_ = PageControl_->currentPage();
        if (LastPanelIndex_ != CurrentPanelIndex_) {
            if (const auto last = panelAt(LastPanelIndex_)) last->panelDidDisappear();
        }
        PageControl_->setCurrentPage(CurrentPanelIndex_);
        if (LastPanelIndex_ == CurrentPanelIndex_) return;
    } else if (LanguageDirection_ == LanguageDirectionRightToLeft) {
        CurrentPanelIndex_ = static_cast<long>(std::trunc((x - bounds().size.width) / pageWidth));
        if (CurrentPanelIndex_ == -1) return tellFinish(IntroductionFinishTypeSwipeOut);
        LastPanelIndex_ = PageControl_->currentPage();
        PageControl_->setCurrentPage(CurrentPanelIndex_);
        if (LastPanelIndex_ == CurrentPanelIndex_) return;
    } else {
        return;
    }
    const long index = panelIndexForPage(CurrentPanelIndex_);
    const auto panel = panelAt(index);
    if (!panel) return;
    tellChange(index);
    panel->panelDidAppear();
    animatePanelAtIndex(index);
}

}  // namespace quorvel
