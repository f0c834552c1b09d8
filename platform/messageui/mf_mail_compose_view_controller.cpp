#include "platform/messageui/mf_mail_compose_view_controller.h"

#include <algorithm>

#include "platform/messageui/mailto_url.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/text/ui_font.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {
namespace {

constexpr CGFloat kMargin = 16;
constexpr CGFloat kLineHeight = 22;

std::shared_ptr<UILabel> makeLabel(std::shared_ptr<UIFont> font, long lines) {
    auto label = std::make_shared<UILabel>();
    label->setFont(std::move(font));
    label->setTextColor(UIColor::colorWithWhite(0.2, 1));
    label->setNumberOfLines(lines);
    return label;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

}  // namespace

bool MFMailComposeViewController::canSendMail() {
    return UIApplication::sharedApplication().canOpenURL("mailto:");
}

std::string MFMailComposeViewController::mailtoURL() const {
    return MailtoURL::make(toRecipients_, subject_, messageBody_);
}

void MFMailComposeViewController::loadView() {
    auto root = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    root->setBackgroundColor(UIColor::whiteColor());
    recipientsLabel_ = makeLabel(UIFont::systemFontOfSize(15), 1);
    subjectLabel_ = makeLabel(UIFont::boldSystemFontOfSize(17), 1);
    bodyLabel_ = makeLabel(UIFont::systemFontOfSize(15), 0);
    for (const auto& label : {recipientsLabel_, subjectLabel_, bodyLabel_}) root->addSubview(label);
    setView(root);
}

void MFMailComposeViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    recipientsLabel_->setText("To: " + joined(toRecipients_));
    subjectLabel_->setText(subject_);
    bodyLabel_->setText(messageBody_);
    view()->setNeedsLayout();
}

void MFMailComposeViewController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    const CGRect bounds = view()->bounds();
    const CGFloat width = std::max<CGFloat>(0, bounds.size.width - 2 * kMargin);
    CGFloat y = view()->safeAreaInsets().top + kMargin;
    recipientsLabel_->setFrame(CGRect(kMargin, y, width, kLineHeight));
    y += kLineHeight + kMargin / 2;
    subjectLabel_->setFrame(CGRect(kMargin, y, width, kLineHeight));
    y += kLineHeight + kMargin;
    const CGSize body = bodyLabel_->sizeThatFits(CGSize{width, bounds.size.height - y});
    bodyLabel_->setFrame(CGRect(kMargin, y, width, body.height));
}

void MFMailComposeViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    handOver();
}

void MFMailComposeViewController::handOver() {
    if (handedOver_) return;
    handedOver_ = true;
    auto weak = std::weak_ptr<MFMailComposeViewController>(
        std::static_pointer_cast<MFMailComposeViewController>(shared_from_this()));
    UIApplication::sharedApplication().openURL(mailtoURL(), {}, [weak](bool opened) {
        auto self = weak.lock();
        if (!self) return;
        auto delegate = self->mailComposeDelegate();
        if (!delegate) return;
        if (opened) return delegate->mailComposeController(*self, MFMailComposeResult::sent, nullptr);
        delegate->mailComposeController(
            *self, MFMailComposeResult::failed,
            NSError::errorWithDomain(kErrorDomain, kErrorCodeSendFailed,
                                     {{NSLocalizedDescriptionKey, "No mail program took the message."}}));
    });
}

}  // namespace platform
