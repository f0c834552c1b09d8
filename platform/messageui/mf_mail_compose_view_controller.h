#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/messageui/mf_mail_compose_view_controller_delegate.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {

// The mail composer. On this desktop the desktop's mail program writes and sends the message: once
// the composer has appeared it hands the message over as a mailto link and tells its delegate "sent",
// or "failed" with an error when nothing took the link. Its own view shows what was handed over.
// Main thread.
class MFMailComposeViewController : public UIViewController {
public:
    // The domain of the error a failed hand-over reports, and its code.
    static constexpr const char* kErrorDomain = "MFMailComposeErrorDomain";
    static constexpr long kErrorCodeSendFailed = 1;

    // Whether the desktop has a program for mailto links.
    static bool canSendMail();

    std::shared_ptr<MFMailComposeViewControllerDelegate> mailComposeDelegate() const { return delegate_.lock(); }
    void setMailComposeDelegate(std::weak_ptr<MFMailComposeViewControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    const std::string& subject() const { return subject_; }
    void setSubject(const std::string& subject) { subject_ = subject; }
    const std::vector<std::string>& toRecipients() const { return toRecipients_; }
    void setToRecipients(const std::vector<std::string>& recipients) { toRecipients_ = recipients; }
    const std::string& messageBody() const { return messageBody_; }
    bool isHTML() const { return isHTML_; }
    void setMessageBody(const std::string& body, bool isHTML) {
        messageBody_ = body;
        isHTML_ = isHTML;
    }

    // The link the message travels as.
    std::string mailtoURL() const;

    const std::shared_ptr<UILabel>& recipientsLabel() const { return recipientsLabel_; }
    const std::shared_ptr<UILabel>& subjectLabel() const { return subjectLabel_; }
    const std::shared_ptr<UILabel>& bodyLabel() const { return bodyLabel_; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    // Hands the message to the desktop, once, and reports how that went.
    void handOver();

    std::weak_ptr<MFMailComposeViewControllerDelegate> delegate_;
    std::string subject_;
    std::vector<std::string> toRecipients_;
    std::string messageBody_;
    bool isHTML_ = false;
    bool handedOver_ = false;
    std::shared_ptr<UILabel> recipientsLabel_;
    std::shared_ptr<UILabel> subjectLabel_;
    std::shared_ptr<UILabel> bodyLabel_;
};

}  // namespace platform
