// Every screen a person reaches from the menu, on each device and way of holding it: nothing of a
// screen's content under the navigation bar, the status strip or the sensor housing, and titles that
// read in full. Each case also writes what it shows to the test output for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/core/user_default_properties.h"
#include "app/screens/settings/option_table_view_cell.h"
#include "app/screens/settings/option_view_controller.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "app/widgets/carousel/carousel_cell.h"
#include "platform/charts/chart_view_base.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;

struct Holding {
    const char* device;
    UIDeviceOrientation orientation;
    CGFloat split;
};

std::string nameOf(const Holding& h);

void PrintTo(const Holding& h, std::ostream* out) {
    *out << nameOf(h);
}

std::string nameOf(const Holding& h) {
    std::string name = h.device;
    name += UIDeviceOrientationIsLandscape(h.orientation) ? "Landscape" : "Portrait";
    if (h.split < 1) name += "Split" + std::to_string(int(h.split * 100 + 0.5));
    return name;
}

// Where a view is seen in the window: its frame there, cut by every ancestor that clips.
CGRect visibleRect(const UIView& view) {
    CGRect rect = view.convertRectToView(view.bounds(), nullptr);
    for (auto up = view.superview(); up; up = up->superview()) {
        if (up->clipsToBounds()) rect = rect.intersection(up->convertRectToView(up->bounds(), nullptr));
    }
    return rect;
}

bool isShown(const UIView& view) {
    for (const UIView* v = &view; v; v = v->superview().get()) {
        if (v->isHidden() || v->alpha() <= 0) return false;
    }
    return true;
}

// Where a centred single-line label's text is drawn, in the window.
CGRect textRect(const UILabel& label) {
    const CGRect frame = label.convertRectToView(label.bounds(), nullptr);
    const CGSize text = label.sizeThatFits({0, 0});
    return CGRect(frame.midX() - text.width / 2, frame.midY() - text.height / 2, text.width, text.height);
}

// Whole, or shrunk no further than the label allows.
bool readsInFull(const UILabel& label) {
    const CGFloat needed = label.sizeThatFits({0, 0}).width;
    const CGFloat scale = label.adjustsFontSizeToFitWidth() ? label.minimumScaleFactor() : 1;
    return needed * scale <= label.bounds().width() + 0.01;
}

// The views that draw something a person reads or touches.
void collectContent(const std::shared_ptr<UIView>& view, std::vector<std::shared_ptr<UIView>>& out) {
    if (view->isHidden() || view->alpha() <= 0) return;
    const auto label = std::dynamic_pointer_cast<UILabel>(view);
    const auto image = std::dynamic_pointer_cast<UIImageView>(view);
    if ((label && !label->text().empty()) || (image && image->image()) ||
        std::dynamic_pointer_cast<UIButton>(view) || std::dynamic_pointer_cast<ChartViewBase>(view))
        out.push_back(view);
    for (const auto& sub : view->subviews()) collectContent(sub, out);
}

class ScreenLayoutSweep : public LaunchedApp, public ::testing::WithParamInterface<Holding> {
protected:
    void SetUp() override {
        LaunchedApp::SetUp();
        emulate(GetParam().device);
        hold(GetParam().orientation);
    }

    void settle() { clock->advance(InterfaceDriver::kTransitionDuration + 0.5); }

    // The bar with the strip above it, and the sides the sensor housing takes, in the window.
    std::vector<CGRect> coveredAreas() const {
        const auto bar = container->navigationBar();
        const CGRect b = bar->convertRectToView(bar->bounds(), nullptr);
        const CGRect w = window->bounds();
        const UIEdgeInsets insets = window->safeAreaInsets();
        return {CGRect(0, 0, w.width(), b.maxY()), CGRect(0, 0, insets.left, w.height()),
                CGRect(w.maxX() - insets.right, 0, insets.right, w.height())};
    }

    void expectClearOfBarAndHousing(const std::shared_ptr<UIView>& root, const std::string& screen) {
        std::vector<std::shared_ptr<UIView>> content;
        collectContent(root, content);
        ASSERT_FALSE(content.empty());
        for (const auto& view : content) {
            const CGRect seen = visibleRect(*view);
            if (seen.isEmpty()) continue;
            for (const CGRect& covered : coveredAreas()) {
                const auto label = std::dynamic_pointer_cast<UILabel>(view);
                EXPECT_TRUE(seen.intersection(covered).isEmpty())
                    << screen << ": " << view->className() << (label ? " \"" + label->text() + "\"" : "")
                    << " at y " << seen.minY() << ", x " << seen.minX() << " under the bar or the housing";
            }
        }
    }

    void write(const std::string& screen) {
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / "sweep";
        std::filesystem::create_directories(out);
        LayerRenderer::writeViewPNG(*window, out / (screen + "_" + nameOf(GetParam()) + ".png"), 1);
    }
};

TEST_P(ScreenLayoutSweep, EveryScreenKeepsClearOfTheBarAndTheSensorHousing) {
    launch();
    if (GetParam().split < 1) InterfaceDriver::setSplitShare(GetParam().split);
    settle();

    // One focus session a round, breaks starting by themselves, and a minute left on the ring; the
    // person goes to the settings while it runs out, and comes back during the long break: the
    // translucent bar is laid over the screen again, not a band.
    using P = UserDefaultProperties;
    for (const auto& value : {P::roundLimit(1), P::autoRestart(true)}) P::save(value);
    choose(2);
    choose(0);
    TimerViewModel::shared()->setRemainingMinutes(1);
    timerScreen()->toggleTimer(TimerStatus::Stopped);
    choose(2);
    EXPECT_FALSE(container->navigationBar()->isTranslucent());
    clock->advance(61);
    write("settings");
    const auto settings = std::dynamic_pointer_cast<OptionViewController>(container->topViewController());
    ASSERT_TRUE(settings);
    for (const auto& cell : settings->tableView()->visibleCells()) {
        const auto row = std::dynamic_pointer_cast<OptionTableViewCell>(cell);
        if (!row) continue;
        EXPECT_TRUE(readsInFull(*row->titleLabel())) << "\"" << row->titleLabel()->text() << "\" is cut";
    }
    ASSERT_EQ(TimerViewModel::shared()->currentSession().type, SessionType::longBreak);
    choose(0);
    settle();
    const auto timer = timerScreen();
    ASSERT_TRUE(timer);
    EXPECT_TRUE(container->navigationBar()->isTranslucent());
    EXPECT_EQ(timer->view()->frame(), container->view()->bounds()) << "under the translucent bar";
    write("timer");
    expectClearOfBarAndHousing(timer->view(), "timer");
    // The round and goal counts a phone shows lying sideways stay above the ring's long ticks, wherever
    // the turning ring brings them.
    const auto elapsed = timer->elapsedTimeView();
    for (const auto& count : {elapsed->roundDisplayLabel(), elapsed->goalDisplayLabel()}) {
        if (!isShown(*count)) continue;
        for (const auto& item : timer->carouselView()->carousel()->visibleItemViews()) {
            const auto tick = std::dynamic_pointer_cast<CarouselCell>(item);
            if (!tick || tick->tag() != 1) continue;
            EXPECT_LE(textRect(*count).maxY(), visibleRect(*tick->measure()).minY())
                << "a long tick can run through \"" << count->text() << "\"";
        }
    }

    const auto session = container->sessionButton();
    ASSERT_EQ(session->titleForState(UIControlStateNormal), "Long Break");
    const auto title = session->titleLabel();
    EXPECT_GE(title->frame().width(), title->sizeThatFits({0, 0}).width) << "the title reads in full";
    const UIEdgeInsets insets = window->safeAreaInsets();
    for (const auto& button : {std::static_pointer_cast<UIView>(session), std::static_pointer_cast<UIView>(container->skipButton())}) {
        const CGRect seen = button->convertRectToView(button->bounds(), nullptr);
        EXPECT_GE(seen.minX(), insets.left);
        EXPECT_LE(seen.maxX(), window->bounds().width() - insets.right);
    }

    // The menu drops from the bar's bottom edge.
    tap(*session);
    clock->advance(1);
    const auto bar = container->navigationBar();
    const CGFloat barBottom = bar->convertRectToView(bar->bounds(), nullptr).maxY();
    const auto& rows = container->optionsMenu()->itemViews();
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front()->convertRectToView(rows.front()->bounds(), nullptr).minY(), barBottom - 0.5);
    write("menu");
    tap(*session);
    clock->advance(1);

    // The statistics with a day's panel up after a tap on the line chart.
    choose(1);
    settle();
    const auto charts = std::dynamic_pointer_cast<ChartsViewController>(container->topViewController());
    ASSERT_TRUE(charts);
    tap(*charts->lineChartView());
    ASSERT_FALSE(charts->lineResultView()->isHidden());
    write("charts");
    expectClearOfBarAndHousing(charts->view(), "charts");
}

INSTANTIATE_TEST_SUITE_P(
    Devices, ScreenLayoutSweep,
    ::testing::Values(Holding{"iPhone8", UIDeviceOrientation::portrait, 1},
                      Holding{"iPhone8", UIDeviceOrientation::landscapeLeft, 1},
                      Holding{"iPhoneSE", UIDeviceOrientation::portrait, 1},
                      Holding{"iPhoneSE", UIDeviceOrientation::landscapeLeft, 1},
                      Holding{"iPhoneXS", UIDeviceOrientation::portrait, 1},
                      Holding{"iPhoneXS", UIDeviceOrientation::landscapeLeft, 1},
                      Holding{"iPadPro11Inch", UIDeviceOrientation::portrait, 1},
                      Holding{"iPadPro11Inch", UIDeviceOrientation::landscapeLeft, 1},
                      Holding{"iPadPro11Inch", UIDeviceOrientation::landscapeLeft, 1.0 / 3},
                      Holding{"iPadPro11Inch", UIDeviceOrientation::landscapeLeft, 0.5},
                      Holding{"iPadPro11Inch", UIDeviceOrientation::landscapeLeft, 2.0 / 3}),
    [](const ::testing::TestParamInfo<Holding>& info) { return nameOf(info.param); });

}  // namespace
}  // namespace quorvel
