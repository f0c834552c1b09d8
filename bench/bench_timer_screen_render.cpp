// The timer screen as the app shows it on an iPhone Xs (375 × 812 points at 3x, 1125 × 2436 pixels),
// launched through its delegate into the navigation container with a focus session running on the
// virtual clock. A full frame draws the whole window; a tick frame is what the window repaints after
// one tick of the engine (a tenth of a second: the ring moved, and once a second the clock text
// changed) in the pixels it kept; an unchanged frame finds nothing to draw.
// Measured, not judged; the aims are 4 ms for a full frame and 1 ms for a tick. The empty render is
// their baseline: what a frame of the same size costs with nothing to draw.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdlib>
#include <filesystem>

#include "app/core/start_application.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/screens/navigation/app_storyboards.h"
#include "app/screens/navigation/main_navigation_controller_view_controller.h"
#include "app/screens/timer/time_view_controller.h"
#include "platform/foundation/clock.h"
#include "platform/graphics/layer_back_buffer.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/device_profile.h"
#include "platform/uikit/ui_window.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

namespace {

constexpr int kWidth = 1125, kHeight = 2436;

// The app launched on its own data root, its timer screen shown and a focus session ten seconds old.
class RunningTimerScreen {
public:
    RunningTimerScreen() {
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-bench-bus", 1);
        DeviceProfile::setCurrent(*DeviceProfile::named("iPhoneXS"));
        std::filesystem::create_directories(root_.path() / "Music");
        MPMediaLibrary::setMusicFolderForTesting(root_.path() / "Music");
        using T = quorvel::TempUserDefaultProperties;
        T::save(T::hasGuidedOncePortrait(true));
        T::save(T::hasGuidedOnceLandscape(true));
        quorvel::AppStoryboards::registerAll();
        delegate_ = quorvel::startApplication();
        clock->advance(1);
        window = UIWindow::keyWindow();
        const auto container =
            std::dynamic_pointer_cast<quorvel::MainNavigationControllerViewController>(window->rootViewController());
        screen = container ? std::dynamic_pointer_cast<quorvel::TimeViewController>(container->topViewController())
                           : nullptr;
        if (!screen) return;
        screen->toggleTimer(quorvel::TimerStatus::Stopped);
        clock->advance(10);
    }
    ~RunningTimerScreen() { MPMediaLibrary::setMusicFolderForTesting({}); }

    bool running() const { return screen && quorvel::TimerViewModel::shared()->pomodoroTimer(); }
    std::vector<LayerBackBuffer::Placement> placed() const {
        window->layoutIfNeeded();
        return {{window->layer(), window->frame().origin}};
    }

    quorvel::testing::TempDataRoot root_;
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<quorvel::AppDelegate> delegate_;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<quorvel::TimeViewController> screen;
};

void paintBlack(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
}

// One launch for the whole program: the app's services (analytics among them) live once a process.
RunningTimerScreen& runningApp() {
    static RunningTimerScreen app;
    return app;
}

// The running screen and a phone-sized picture of it, drawn once.
struct ScreenPicture {
    RunningTimerScreen& app = runningApp();
    LayerBackBuffer buffer{kWidth, kHeight, CGAffineTransform::makeScale(3, 3), paintBlack};

    bool ready(benchmark::State& state) {
        if (!app.running()) {
            state.SkipWithError("the timer screen did not start a session");
            return false;
        }
        buffer.draw(app.placed(), CACurrentMediaTime());
        return true;
    }
};

void BM_TimerScreenFullFrame(benchmark::State& state) {
    ScreenPicture picture;
    if (!picture.ready(state)) return;
    for (auto _ : state) {
        picture.buffer.setNeedsFullRedraw();
        benchmark::DoNotOptimize(picture.buffer.draw(picture.app.placed(), CACurrentMediaTime()).area());
    }
}
BENCHMARK(BM_TimerScreenFullFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TimerScreenTickFrame(benchmark::State& state) {
    ScreenPicture picture;
    if (!picture.ready(state)) return;
    double repainted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        picture.app.clock->advance(0.1);
        const auto placed = picture.app.placed();
        state.ResumeTiming();
        repainted += picture.buffer.draw(placed, CACurrentMediaTime()).area();
    }
    state.counters["repainted_share"] = repainted / state.iterations() / (double(kWidth) * kHeight);
}
BENCHMARK(BM_TimerScreenTickFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TimerScreenUnchangedFrame(benchmark::State& state) {
    ScreenPicture picture;
    if (!picture.ready(state)) return;
    const auto placed = picture.app.placed();
    for (auto _ : state) benchmark::DoNotOptimize(picture.buffer.draw(placed, CACurrentMediaTime()).isEmpty());
}
BENCHMARK(BM_TimerScreenUnchangedFrame)->Unit(benchmark::kMicrosecond);

// The baseline: the same window-sized full frame of a layer with nothing in it.
void BM_EmptyRender(benchmark::State& state) {
    const auto empty = CALayer::layer();
    empty->setFrame(CGRect{{0, 0}, {kWidth / 3.0, kHeight / 3.0}});
    LayerBackBuffer buffer{kWidth, kHeight, CGAffineTransform::makeScale(3, 3), paintBlack};
    const std::vector<LayerBackBuffer::Placement> placed{{empty, {0, 0}}};
    for (auto _ : state) {
        buffer.setNeedsFullRedraw();
        benchmark::DoNotOptimize(buffer.draw(placed, CACurrentMediaTime()).area());
    }
}
BENCHMARK(BM_EmptyRender)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
