#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/touches/ui_event.h"
#include "platform/uikit/views/ui_view.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// A view that writes the touch phases it handles into a shared log as "name:phase"; one that does
// not handle touches passes them on.
class RecordingView : public platform::UIView {
public:
    RecordingView(std::string name, const platform::CGRect& frame, std::vector<std::string>& log,
                  bool handles = true)
        : platform::UIView(frame), name_(std::move(name)), log_(log), handles_(handles) {}

    void touchesBegan(const platform::UITouchSet& t, const platform::UIEvent* e) override {
        note("began", t, e);
    }
    void touchesMoved(const platform::UITouchSet& t, const platform::UIEvent* e) override {
        note("moved", t, e);
    }
    void touchesEnded(const platform::UITouchSet& t, const platform::UIEvent* e) override {
        note("ended", t, e);
    }
    void touchesCancelled(const platform::UITouchSet& t, const platform::UIEvent* e) override {
        note("cancelled", t, e);
    }

private:
    void note(const char* phase, const platform::UITouchSet& touches, const platform::UIEvent* event) {
        if (!handles_) {
            if (std::string(phase) == "began") return platform::UIView::touchesBegan(touches, event);
            if (std::string(phase) == "moved") return platform::UIView::touchesMoved(touches, event);
            if (std::string(phase) == "ended") return platform::UIView::touchesEnded(touches, event);
            return platform::UIView::touchesCancelled(touches, event);
        }
        log_.push_back(name_ + ":" + phase);
    }

    std::string name_;
    std::vector<std::string>& log_;
    bool handles_;
};

// A shown phone-sized window on a virtual clock, and a driver to touch it.
class TouchTest : public ::testing::Test {
protected:
    void SetUp() override {
        restoreDefaultDevice();
        window->makeKeyAndVisible();
    }

    template <typename View = platform::UIView>
    std::shared_ptr<View> addView(const std::shared_ptr<platform::UIView>& parent,
                                  const platform::CGRect& frame) {
        auto view = std::make_shared<View>(frame);
        parent->addSubview(view);
        return view;
    }
    std::shared_ptr<RecordingView> addRecording(const std::shared_ptr<platform::UIView>& parent,
                                                std::string name, const platform::CGRect& frame,
                                                bool handles = true) {
        auto view = std::make_shared<RecordingView>(std::move(name), frame, log, handles);
        parent->addSubview(view);
        return view;
    }

    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> window =
        std::make_shared<platform::UIWindow>(platform::CGRect(0, 0, 375, 667));
    TouchDriver driver{clock};
    std::vector<std::string> log;
};

}  // namespace quorvel::testing
