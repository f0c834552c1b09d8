// One full frame of a phone-sized window (375 × 812 points at scale 3, 1125 × 2436 pixels): about 60
// layers — rounded cards with borders and shadows, a progress ring, a rotated and a perspective layer,
// buttons with images — and 20 labels, drawn into a surface the frame reuses, as the shell does.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ui_view.h"
#include "tests/support/scene_builder.h"

using namespace platform;

namespace {

void BM_RenderPhoneWindow(benchmark::State& state) {
    auto window = quorvel::testing::SceneBuilder::phoneWindow();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1125, 2436);
    for (auto _ : state) {
        // The window's opaque background covers every pixel, so the surface needs no clearing.
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, 3, 3);
        LayerRenderer::render(*window->layer(), cr, 0);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_RenderPhoneWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
