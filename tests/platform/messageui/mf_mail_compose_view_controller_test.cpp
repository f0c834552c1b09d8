#include "platform/messageui/mf_mail_compose_view_controller.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "tests/support/recording_url_opener.h"

using namespace platform;
using quorvel::testing::RecordingURLOpener;

namespace {

struct Finish {
    MFMailComposeResult result;
    std::shared_ptr<NSError> error;
};

class RecordingComposeDelegate : public MFMailComposeViewControllerDelegate {
public:
    void mailComposeController(MFMailComposeViewController&, MFMailComposeResult result,
                               const std::shared_ptr<NSError>& error) override {
        finished.push_back({result, error});
    }
    std::vector<Finish> finished;
};

// A desktop whose mail program cannot be started.
class RefusingOpener : public RecordingURLOpener {
public:
    bool openURL(const std::string& url) override {
        RecordingURLOpener::openURL(url);
        return false;
    }
};

class MailComposer : public ::testing::Test {
protected:
    MailComposer() {
        window->setRootViewController(std::make_shared<UIViewController>());
        window->makeKeyAndVisible();
        composer->setMailComposeDelegate(delegate);
        composer->setToRecipients({"help@example.org"});
        composer->setSubject("Feedback & more");
        composer->setMessageBody("Version 1.0,\nDevice iPhone", false);
    }
    ~MailComposer() override { UIApplication::sharedApplication().setURLOpener(nullptr); }

    void present() {
        window->rootViewController()->presentViewController(composer, true);
        clock->advance(1);
    }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    std::shared_ptr<MFMailComposeViewController> composer = std::make_shared<MFMailComposeViewController>();
    std::shared_ptr<RecordingComposeDelegate> delegate = std::make_shared<RecordingComposeDelegate>();
};

}  // namespace

TEST_F(MailComposer, MailCanBeSentOnlyWhereTheDesktopTakesMailtoLinks) {
    auto& application = UIApplication::sharedApplication();
    application.setURLOpener(std::make_shared<RecordingURLOpener>(std::set<std::string>{"http", "https"}));
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    application.setURLOpener(nullptr);
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    application.setURLOpener(std::make_shared<RecordingURLOpener>());
    EXPECT_TRUE(MFMailComposeViewController::canSendMail());
}

TEST_F(MailComposer, OnceShownItHandsTheMessageOverOnceAndReportsItSent) {
    auto opener = std::make_shared<RecordingURLOpener>();
    UIApplication::sharedApplication().setURLOpener(opener);
    present();
    EXPECT_EQ(opener->opened, (std::vector<std::string>{composer->mailtoURL()}));
    ASSERT_EQ(delegate->finished.size(), 1u);
    EXPECT_EQ(delegate->finished[0].result, MFMailComposeResult::sent);
    EXPECT_EQ(delegate->finished[0].error, nullptr);

    // Shown again after something covered it: the message has already gone.
    auto cover = std::make_shared<UIViewController>();
    composer->presentViewController(cover, false);
    clock->advance(1);
    cover->dismissViewControllerAnimated(false);
    clock->advance(1);
    EXPECT_EQ(opener->opened.size(), 1u);
    EXPECT_EQ(delegate->finished.size(), 1u);
}

TEST_F(MailComposer, AMailProgramThatDoesNotStartIsReportedAsAFailure) {
    UIApplication::sharedApplication().setURLOpener(std::make_shared<RefusingOpener>());
    present();
    ASSERT_EQ(delegate->finished.size(), 1u);
    EXPECT_EQ(delegate->finished[0].result, MFMailComposeResult::failed);
    ASSERT_NE(delegate->finished[0].error, nullptr);
    EXPECT_EQ(delegate->finished[0].error->domain(), MFMailComposeViewController::kErrorDomain);
}

// Written as a PNG for a person to look at: the message as it went to the mail program.
TEST_F(MailComposer, ItsViewShowsTheMessageHandedOver) {
    UIApplication::sharedApplication().setURLOpener(std::make_shared<RecordingURLOpener>());
    present();
    EXPECT_EQ(composer->recipientsLabel()->text(), "To: help@example.org");
    EXPECT_EQ(composer->subjectLabel()->text(), "Feedback & more");
    EXPECT_GT(composer->bodyLabel()->frame().size.height, composer->subjectLabel()->frame().size.height)
        << "both body lines have room";
    const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "mail_composer.png";
    std::filesystem::create_directories(path.parent_path());
    window->layoutIfNeeded();
    EXPECT_TRUE(LayerRenderer::writeViewPNG(*window, path, 2));
}
