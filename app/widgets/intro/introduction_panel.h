#pragma once

#include <memory>
#include <string>

#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

class BlurIntroductionView;

// One page of an introduction: an optional header view, a title, a thin separator line, a description
// and an optional image, laid out from the top for the panel's frame. The introduction fades and
// slides the parts in when the panel comes into view. Every panel shares one style: white bold 24
// titles, white descriptions of 20 (16 on the smallest phones) and a separator of white at 30 %.
class IntroductionPanel : public platform::UIView {
public:
    // Only the style: a panel whose parts someone else provides.
    explicit IntroductionPanel(const platform::CGRect& frame);
    IntroductionPanel(const platform::CGRect& frame, const std::string& title, const std::string& description,
                      std::shared_ptr<platform::UIView> header = nullptr);
    IntroductionPanel(const platform::CGRect& frame, const std::string& title, const std::string& description,
                      std::shared_ptr<platform::UIImage> image,
                      std::shared_ptr<platform::UIView> header = nullptr);
    // The first object of the registered nib of that name, in the frame, as a custom panel that is never
    // animated; none when there is no such nib or its first object is no panel.
    static std::shared_ptr<IntroductionPanel> initWithFrame(const platform::CGRect& frame,
                                                            const std::string& nibName);

    std::shared_ptr<BlurIntroductionView> parentIntroductionView() const { return parent_.lock(); }
    void setParentIntroductionView(std::weak_ptr<BlurIntroductionView> parent) {
        parent_ = std::move(parent);
    }

    const std::shared_ptr<platform::UIView>& PanelHeaderView() const { return PanelHeaderView_; }
    void setPanelHeaderView(std::shared_ptr<platform::UIView> view) { PanelHeaderView_ = std::move(view); }
    const std::string& PanelTitle() const { return PanelTitle_; }
    void setPanelTitle(std::string title) { PanelTitle_ = std::move(title); }
    const std::string& PanelDescription() const { return PanelDescription_; }
    void setPanelDescription(std::string description) { PanelDescription_ = std::move(description); }
    const std::shared_ptr<platform::UILabel>& PanelTitleLabel() const { return PanelTitleLabel_; }
    void setPanelTitleLabel(std::shared_ptr<platform::UILabel> label) { PanelTitleLabel_ = std::move(label); }
    const std::shared_ptr<platform::UILabel>& PanelDescriptionLabel() const { return PanelDescriptionLabel_; }
    void setPanelDescriptionLabel(std::shared_ptr<platform::UILabel> label) {
        PanelDescriptionLabel_ = std::move(label);
    }
    const std::shared_ptr<platform::UIView>& PanelSeparatorLine() const { return PanelSeparatorLine_; }
    void setPanelSeparatorLine(std::shared_ptr<platform::UIView> line) {
        PanelSeparatorLine_ = std::move(line);
    }
    const std::shared_ptr<platform::UIImageView>& PanelImageView() const { return PanelImageView_; }
    void setPanelImageView(std::shared_ptr<platform::UIImageView> view) { PanelImageView_ = std::move(view); }

    bool isCustomPanel() const { return isCustomPanel_; }
    void setIsCustomPanel(bool custom) { isCustomPanel_ = custom; }
    bool hasCustomAnimation() const { return hasCustomAnimation_; }
    void setHasCustomAnimation(bool animated) { hasCustomAnimation_ = animated; }

    // When the introduction brings the panel into view and takes it away again.
    virtual void panelDidAppear() {}
    virtual void panelDidDisappear() {}

    // Makes and places the parts for a panel of that frame's width and height.
    void buildPanelWithFrame(const platform::CGRect& frame);

private:
    std::weak_ptr<BlurIntroductionView> parent_;
    std::shared_ptr<platform::UIView> PanelHeaderView_;
    std::string PanelTitle_;
    std::string PanelDescription_;
    std::shared_ptr<platform::UILabel> PanelTitleLabel_;
    std::shared_ptr<platform::UILabel> PanelDescriptionLabel_;
    std::shared_ptr<platform::UIView> PanelSeparatorLine_;
    std::shared_ptr<platform::UIImageView> PanelImageView_;
    bool isCustomPanel_ = false;
    bool hasCustomAnimation_ = false;
};

}  // namespace quorvel
