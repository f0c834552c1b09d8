#include "app/widgets/intro/introduction_panel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/text/ns_attributed_string.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kTop = 30;
constexpr CGFloat kSide = 10;
constexpr CGFloat kGap = 10;
// Room the introduction keeps at the bottom for its page control.
constexpr CGFloat kBottom = 48;

struct PanelStyle {
    std::shared_ptr<UIFont> titleFont;
    std::shared_ptr<UIColor> titleColor;
    std::shared_ptr<UIFont> descriptionFont;
    std::shared_ptr<UIColor> descriptionColor;
    std::shared_ptr<UIColor> separatorColor;
};

PanelStyle& style() {
    static PanelStyle& shared = *new PanelStyle;
    return shared;
}

// A phone whose longer side is under 568 points: the smallest screens take the smaller description.
bool isSmallPhone() {
    if (UIDevice::currentDevice().userInterfaceIdiom() != UIUserInterfaceIdiom::phone) return false;
    const CGSize size = UIScreen::mainScreen().bounds().size;
    return std::max(size.width, size.height) < 568.0;
}

// Every panel made sets the shared style afresh.
void setStyleValues() {
    PanelStyle& s = style();
    s.titleFont = UIFont::boldSystemFontOfSize(24);
    s.titleColor = UIColor::whiteColor();
    s.descriptionFont = UIFont::systemFontOfSize(isSmallPhone() ? 16 : 20);
    s.descriptionColor = UIColor::whiteColor();
    s.separatorColor = UIColor::colorWithWhite(1, 0.3);
}

CGFloat textHeight(const std::string& text, const std::shared_ptr<UIFont>& font, CGFloat width) {
    if (text.empty()) return 0;
    const CGSize box{width, std::numeric_limits<CGFloat>::max()};
    return std::ceil(NSAttributedString(text, {font, nullptr})
                         .boundingRectWithSize(box, NSStringDrawingUsesLineFragmentOrigin)
                         .size.height);
}

std::shared_ptr<UILabel> makeLabel(const CGRect& frame, const std::shared_ptr<UIFont>& font,
                                   const std::shared_ptr<UIColor>& color) {
    auto label = std::make_shared<UILabel>(frame);
    label->setNumberOfLines(0);
    label->setFont(font);
    label->setTextColor(color);
    label->setBackgroundColor(UIColor::clearColor());
    label->setAlpha(0);
    return label;
}

}  // namespace

IntroductionPanel::IntroductionPanel(const CGRect& frame) : UIView(frame) {
    setBackgroundColor(UIColor::clearColor());
    setStyleValues();
}

IntroductionPanel::IntroductionPanel(const CGRect& frame, const std::string& title,
                                     const std::string& description, std::shared_ptr<UIView> header)
    : IntroductionPanel(frame, title, description, nullptr, std::move(header)) {}

IntroductionPanel::IntroductionPanel(const CGRect& frame, const std::string& title,
                                     const std::string& description, std::shared_ptr<UIImage> image,
                                     std::shared_ptr<UIView> header)
    : IntroductionPanel(frame) {
    PanelTitle_ = title;
    PanelDescription_ = description;
    PanelHeaderView_ = std::move(header);
    if (image) PanelImageView_ = std::make_shared<UIImageView>(std::move(image));
    buildPanelWithFrame(frame);
}

std::shared_ptr<IntroductionPanel> IntroductionPanel::initWithFrame(const CGRect& frame,
                                                                    const std::string& nibName) {
    const auto nib = UINib::nibWithNibName(nibName);
    if (!nib) return nullptr;
    const auto objects = nib->instantiateWithOwner(nullptr);
    auto panel = objects.empty() ? nullptr : objects.front().as<IntroductionPanel>();
    if (!panel) return nullptr;
    panel->setFrame(frame);
    panel->isCustomPanel_ = true;
    panel->hasCustomAnimation_ = false;
    return panel;
}

void IntroductionPanel::buildPanelWithFrame(const CGRect& frame) {
    const PanelStyle& s = style();
    const CGFloat width = frame.size.width;
    const CGFloat textWidth = width - 2 * kSide;
    CGFloat y = kTop;
    if (PanelHeaderView_) {
        const CGSize size = PanelHeaderView_->frame().size;
        PanelHeaderView_->setFrame(CGRect((width - size.width) / 2, kTop, size.width, size.height));
        addSubview(PanelHeaderView_);
        y = kTop + size.height + kGap;
    }

    const CGFloat titleHeight = textHeight(PanelTitle_, s.titleFont, textWidth);
    const CGFloat descriptionHeight = textHeight(PanelDescription_, s.descriptionFont, textWidth);
    PanelTitleLabel_ = makeLabel(CGRect(kSide, y, textWidth, titleHeight), s.titleFont, s.titleColor);
    PanelTitleLabel_->setText(PanelTitle_);
    addSubview(PanelTitleLabel_);
    y += titleHeight + kGap;

    PanelSeparatorLine_ = std::make_shared<UIView>(CGRect(kSide, y + 5, textWidth, 1));
    PanelSeparatorLine_->setBackgroundColor(s.separatorColor);
    addSubview(PanelSeparatorLine_);

    PanelDescriptionLabel_ =
        makeLabel(CGRect(kSide, y + 20, textWidth, descriptionHeight), s.descriptionFont, s.descriptionColor);
    PanelDescriptionLabel_->setText(PanelDescription_);
    addSubview(PanelDescriptionLabel_);

    if (PanelImageView_ && PanelImageView_->image()) {
        const CGFloat top = y + descriptionHeight + kGap;
        PanelImageView_->setFrame(CGRect(kSide, top, width - 2 * kSide, frame.size.height - top - kBottom));
        PanelImageView_->setContentMode(UIViewContentMode::center);
        PanelImageView_->setClipsToBounds(true);
        addSubview(PanelImageView_);
    }
    if (isCustomPanel_) hasCustomAnimation_ = true;
}

}  // namespace quorvel
