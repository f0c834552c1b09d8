#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/widgets/intro/blur_introduction_view.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// Writes what it hears into a shared log.
class RecordingPanel : public IntroductionPanel {
public:
    RecordingPanel(const platform::CGRect& frame, const std::string& title, std::vector<std::string>& log)
        : IntroductionPanel(frame, title, title + " in a few words"), log_(log) {}
    void panelDidAppear() override { log_.push_back(PanelTitle() + ":appear"); }
    void panelDidDisappear() override { log_.push_back(PanelTitle() + ":disappear"); }

private:
    std::vector<std::string>& log_;
};

class RecordingIntroductionDelegate : public IntroductionDelegate {
public:
    explicit RecordingIntroductionDelegate(std::vector<std::string>& log) : log_(log) {}
    void introduction(BlurIntroductionView&, IntroductionPanel& panel, long index) override {
        log_.push_back("change:" + std::to_string(index) + ":" + panel.PanelTitle());
    }
    void introduction(BlurIntroductionView&, IntroductionFinishType type) override {
        log_.push_back("finish:" + std::to_string(type));
    }

private:
    std::vector<std::string>& log_;
};

// An introduction of three panels "A", "B" and "C" filling a shown phone window.
class IntroTest : public ::testing::Test {
protected:
    static constexpr platform::CGFloat kWidth = 375;
    static constexpr platform::CGFloat kHeight = 667;

    void SetUp() override {
        restoreDefaultDevice();
        window->makeKeyAndVisible();
        window->addSubview(intro);
        intro->setDelegate(delegate);
    }

    void build(LanguageDirection direction = LanguageDirectionLeftToRight) {
        intro->setLanguageDirection(direction);
        for (const char* title : {"A", "B", "C"}) {
            panels.push_back(std::make_shared<RecordingPanel>(window->bounds(), title, log));
        }
        intro->buildIntroductionWithPanels(panels);
    }

    // A quick swipe by one page towards the end (or the start), and the glide that follows.
    void swipe(bool forward = true) {
        const platform::CGFloat from = forward ? 300 : 75, to = forward ? 75 : 300;
        driver.drag({from, 300}, {to, 300}, 0.15);
        clock->advance(2);
    }

    std::vector<std::string> takeLog() { return std::exchange(log, {}); }

    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> window =
        std::make_shared<platform::UIWindow>(platform::CGRect(0, 0, kWidth, kHeight));
    std::shared_ptr<BlurIntroductionView> intro =
        std::make_shared<BlurIntroductionView>(platform::CGRect(0, 0, kWidth, kHeight));
    std::vector<std::shared_ptr<IntroductionPanel>> panels;
    std::vector<std::string> log;
    std::shared_ptr<RecordingIntroductionDelegate> delegate =
        std::make_shared<RecordingIntroductionDelegate>(log);
    TouchDriver driver{clock};
};

}  // namespace quorvel::testing
