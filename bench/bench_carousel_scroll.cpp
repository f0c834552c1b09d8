// One frame of a turning minute ring: the offset moves a sixtieth of an item, the carousel loads and
// unloads the ticks at its edges and places every loaded tick on the cylinder, as each timer step of a
// drag or a run-out does.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/widgets/carousel/item_carousel.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"

using namespace platform;
using namespace quorvel;

namespace {

constexpr long kItems = 65;

class Ticks : public ItemCarouselDataSource, public ItemCarouselDelegate {
public:
    long made = 0;

    long numberOfItemsInCarousel(ItemCarousel&) override { return kItems; }
    std::shared_ptr<UIView> carouselViewForItemAtIndex(ItemCarousel&, long,
                                                       std::shared_ptr<UIView> reusing) override {
        if (reusing) return reusing;
        ++made;
        auto tick = std::make_shared<UIView>(CGRect(0, 0, 20, 42));
        tick->addSubview(std::make_shared<UIView>(CGRect(9, 0, 2, 42)));
        return tick;
    }
    double carouselValueForOption(ItemCarousel& carousel, ItemCarouselOption option, double value) override {
        switch (option) {
            case ItemCarouselOption::fadeMin:
                return -carousel.bounds().size.width / 50;
            case ItemCarouselOption::fadeMax:
                return carousel.bounds().size.width / 50;
            default:
                return value;
        }
    }
};

void BM_CarouselScrollFrame(benchmark::State& state) {
    auto clock = VirtualClock::install();
    auto window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    auto carousel = std::make_shared<ItemCarousel>(CGRect(0, 0, 375, 150));
    auto ticks = std::make_shared<Ticks>();
    window->addSubview(carousel);
    carousel->setType(ItemCarouselType::cylinder);
    carousel->setDataSource(ticks);
    carousel->setDelegate(ticks);
    carousel->layoutIfNeeded();
    clock->advance(1);

    double offset = 0;
    for (auto _ : state) {
        offset += 1.0 / 60;
        carousel->setScrollOffset(offset);
    }
    // The ring really turned, from a pool of ticks that stopped growing.
    if (carousel->indexesForVisibleItems().empty() || ticks->made > 30) {
        state.SkipWithError("the carousel did not reuse its item views");
    }
    state.counters["views made"] = double(ticks->made);
    state.counters["views loaded"] = double(carousel->indexesForVisibleItems().size());
}

}  // namespace

BENCHMARK(BM_CarouselScrollFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
