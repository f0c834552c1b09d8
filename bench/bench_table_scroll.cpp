// Scrolling a 1,000-row table one screen per step: the rows scrolled out give their cells back, the rows
// scrolled in dequeue them and are laid out, as a fling through a long list does frame after frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/foundation/clock.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/text/ui_label.h"

using namespace platform;

namespace {

constexpr long kRows = 1000;

class Rows : public UITableViewDataSource {
public:
    long made = 0;

    long tableViewNumberOfRowsInSection(UITableView&, long) override { return kRows; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& path) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row");
        if (!cell) {
            cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::value1, "row");
            ++made;
        }
        cell->textLabel()->setText("Row " + std::to_string(path.row));
        cell->detailTextLabel()->setText(std::to_string(path.row % 60) + " min");
        return cell;
    }
};

void BM_TableScrollOneScreenPerStep(benchmark::State& state) {
    auto clock = VirtualClock::install();
    auto rows = std::make_shared<Rows>();
    auto table = std::make_shared<UITableView>(CGRect(0, 0, 375, 667));
    table->setDataSource(rows);
    table->layoutIfNeeded();
    const CGFloat screen = table->bounds().size.height, last = table->maximumContentOffset().y;

    CGFloat y = 0;
    long steps = 0;
    for (auto _ : state) {
        y = y + screen > last ? 0 : y + screen;
        table->setContentOffset({0, y});
        table->layoutIfNeeded();
        // The cells lay out their labels too, as they would before being drawn.
        for (const auto& cell : table->visibleCells()) cell->layoutIfNeeded();
        ++steps;
    }
    // Every step really showed the rows it scrolled to, from a pool that stopped growing.
    const auto first = table->indexPathsForVisibleRows().front();
    if (first.row != long(y / UITableViewCell::kDefaultHeight) || rows->made > 17) {
        state.SkipWithError("the table did not reuse its cells");
    }
    state.counters["cells made"] = double(rows->made);
    state.counters["steps"] = double(steps);
}

}  // namespace

BENCHMARK(BM_TableScrollOneScreenPerStep)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
