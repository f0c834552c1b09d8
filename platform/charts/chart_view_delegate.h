#pragma once

#include "platform/charts/chart_data_entry.h"
#include "platform/charts/highlight.h"

namespace platform {

class ChartViewBase;

// What a chart view tells its delegate: a value the user touched (by a tap, or while dragging along the
// values), and the end of such a drag. Main thread.
class ChartViewDelegate {
public:
    virtual ~ChartViewDelegate() = default;
    virtual void chartValueSelected(ChartViewBase& chartView, const ChartDataEntry& entry,
                                    const Highlight& highlight) {
        (void)chartView;
        (void)entry;
        (void)highlight;
    }
    virtual void chartViewDidEndPanning(ChartViewBase& chartView) { (void)chartView; }
};

}  // namespace platform
