// The timer screen as the app shows it on an iPhone Xs (375 × 812 points at 3x, 1125 × 2436 pixels),
// launched through its delegate into the navigation container with a focus session running on the
// virtual clock. A full frame draws the whole window; a tick frame is what the window repaints after
// one tick of the engine (a tenth of a second: the ring moved, and once a second the clock text
// changed) in the pixels it kept; an unchanged frame finds nothing to draw.
// Measured, not judged; the aims are 4 ms for a full frame and 1 ms for a tick. Their baseline is the
// same screen's visible elements (page, bar titles, clock, minute ticks, ring, pause button, counts)
// drawn straight with Cairo and Pango at the same size, as a program without layers would.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <utility>

#include "app/core/start_application.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/screens/navigation/app_storyboards.h"
#include "app/screens/navigation/main_navigation_controller_view_controller.h"
#include "app/screens/timer/time_view_controller.h"
#include "bench/bench_repetitions.h"
#include "platform/foundation/clock.h"
#include "platform/graphics/layer_back_buffer.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
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
BENCHMARK(BM_TimerScreenFullFrame)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

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
BENCHMARK(BM_TimerScreenTickFrame)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

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
BENCHMARK(BM_EmptyRender)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

// Text in a Pango font, its box's top left at (x, y) or, with `centreX`, centred on x. Each text's
// layout is made once and kept, as a program that draws the same texts again would.
void show(cairo_t* cr, const char* font, const std::string& text, double x, double y, bool centreX = false) {
    static std::map<std::pair<std::string, std::string>, PangoLayout*> layouts;
    PangoLayout*& layout = layouts[{font, text}];
    if (!layout) {
        layout = pango_cairo_create_layout(cr);
        PangoFontDescription* description = pango_font_description_from_string(font);
        pango_layout_set_font_description(layout, description);
        pango_font_description_free(description);
        pango_layout_set_text(layout, text.c_str(), -1);
    }
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    cairo_move_to(cr, centreX ? x - w / 2.0 / PANGO_SCALE : x, y);
    pango_cairo_show_layout(cr, layout);
}

// The running timer screen drawn with plain Cairo and Pango, in points (the context scaled 3x): what the
// layer tree of the phone's screen shows ten seconds into a session.
void paintTimerScreen(cairo_t* cr, const std::string& clock, double ringValue, double minutes) {
    constexpr double pi = std::numbers::pi;
    cairo_set_source_rgb(cr, 0.98, 0.27, 0.27);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    // The bar: a stopwatch and the session's name on the left, the skip button's title on the right.
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 22, 67, 9, 0, 2 * pi);
    cairo_move_to(cr, 22, 67);
    cairo_line_to(cr, 26, 63);
    cairo_stroke(cr);
    show(cr, "Liberation Sans 17px", "Focus", 42, 55.5);
    show(cr, "Liberation Sans 17px", "Stop", 323, 55.5);
    // The clock.
    show(cr, "Liberation Sans Ultra-Light 108px", clock, 187.5, 98.7, true);
    // The minutes on their cylinder: a tick per minute, long every fifth with its number, fading out
    // towards the sides.
    const double shift = minutes - std::floor(minutes);
    for (int i = -9; i <= 9; ++i) {
        const double angle = (i - shift) * 0.15;
        if (std::abs(angle) >= pi / 2) continue;
        const double x = 187.5 + 133 * std::sin(angle), width = 2 * std::cos(angle);
        const int minute = 25 + i - int(std::floor(minutes));
        const bool long_ = minute % 5 == 0;
        cairo_set_source_rgba(cr, 1, 1, 1, std::min(1.0, 1.5 * std::cos(angle)));
        cairo_rectangle(cr, x - width / 2, long_ ? 274 : 295, width, long_ ? 42 : 21);
        cairo_fill(cr);
        if (long_) show(cr, "Inter 14px", std::to_string(minute), x, 318, true);
    }
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 186.5, 274.4, 2, 12);
    cairo_fill(cr);
    // The ring round the pause button.
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 187.5, 489.44, 58.25, -pi / 2, -pi / 2 + 2 * pi * ringValue);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.2);
    cairo_arc(cr, 187.5, 489.44, 32, 0, 2 * pi);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 178, 477.44, 6, 24);
    cairo_rectangle(cr, 191, 477.44, 6, 24);
    cairo_fill(cr);
    // The counts below: two titles, two values with their limits and the line between them.
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.65);
    show(cr, "Inter Medium 17px", "ROUND", 93.75, 654.7, true);
    show(cr, "Inter Medium 17px", "GOAL", 281.25, 654.7, true);
    show(cr, "Inter Light 43px", "0", 88, 700, true);
    show(cr, "Inter Light 14px", "/4", 104, 724);
    show(cr, "Inter Light 43px", "0", 275, 700, true);
    show(cr, "Inter Light 14px", "/12", 291, 724);
    cairo_rectangle(cr, 187, 657.5, 1, 119.2);
    cairo_fill(cr);
}

// The baseline of a full frame: the whole screen painted anew.
void BM_PlainCairoTimerScreen(benchmark::State& state) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, 3, 3);
    for (auto _ : state) {
        paintTimerScreen(cr, "24:50", 1 - 10.0 / 1500, 10.0 / 60);
        cairo_surface_flush(surface);
    }
    if (const char* out = std::getenv("QUORVEL_BENCH_PNG")) cairo_surface_write_to_png(surface, out);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_PlainCairoTimerScreen)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

// The baseline of a tick frame: the areas a plain program would repaint after a tenth of a second
// (the ring's end, the minutes and, once a second, the clock), each clipped and painted anew.
void BM_PlainCairoTimerScreenTick(benchmark::State& state) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, 3, 3);
    double seconds = 10;
    paintTimerScreen(cr, "24:50", 1 - seconds / 1500, seconds / 60);
    for (auto _ : state) {
        seconds += 0.1;
        const int left = 1500 - int(seconds);
        const std::string clock = std::to_string(left / 60) + ":" + (left % 60 < 10 ? "0" : "") +
                                  std::to_string(left % 60);
        cairo_save(cr);
        cairo_rectangle(cr, 50, 270, 275, 70);  // the minutes
        cairo_rectangle(cr, 180, 425, 15, 10);  // the ring's end
        if (std::abs(seconds - std::round(seconds)) < 0.05) cairo_rectangle(cr, 50, 95, 275, 125);  // the clock
        cairo_clip(cr);
        paintTimerScreen(cr, clock, 1 - seconds / 1500, seconds / 60);
        cairo_restore(cr);
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_PlainCairoTimerScreenTick)->Unit(benchmark::kMillisecond)->Apply(quorvel::bench::repeated);

}  // namespace

BENCHMARK_MAIN();
