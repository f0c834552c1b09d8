#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/charts/chart_data.h"
#include "platform/charts/chart_view_delegate.h"
#include "platform/charts/highlight.h"
#include "platform/charts/view_port_handler.h"
#include "platform/charts/x_axis.h"
#include "platform/charts/y_axis.h"
#include "platform/coregraphics/cg_context.h"
#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

// A chart of values over an x axis: draws its data (through the subclass), the value texts, the grid,
// the axes and their labels, and the highlighted value. A tap selects the value nearest to it; a drag
// along the chart selects the value under the finger as it moves, and its end is reported. Both
// recognisers are the view's own, so a delegate can tell a tap from a drag. Main thread.
class ChartViewBase : public UIView {
public:
    explicit ChartViewBase(const CGRect& frame);

    const std::shared_ptr<ChartData>& data() const { return data_; }
    // Clears the highlight.
    void setData(std::shared_ptr<ChartData> data);

    std::shared_ptr<ChartViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ChartViewDelegate> delegate) { delegate_ = std::move(delegate); }

    XAxis& xAxis() { return xAxis_; }
    YAxis& leftAxis() { return leftAxis_; }
    YAxis& rightAxis() { return rightAxis_; }
    // The values' area and ranges as last laid out; drawing and touches lay them out first.
    const ViewPortHandler& viewPortHandler() const { return viewPort_; }
    // Lays out the values' area for the current bounds and data.
    void prepareViewPort();

    void setHighlightPerTapEnabled(bool enabled) { highlightPerTap_ = enabled; }
    void setHighlightPerDragEnabled(bool enabled) { highlightPerDrag_ = enabled; }
    // Without dragging the drag recogniser never begins.
    void setDragEnabled(bool enabled) { dragEnabled_ = enabled; }

    const std::optional<Highlight>& highlighted() const { return highlighted_; }
    // Highlights a value without telling the delegate; none clears the highlight.
    void highlightValue(std::optional<Highlight> highlight);
    // The value a touch at `point` (in the view's coordinates) selects: the nearest by x.
    std::optional<Highlight> highlightForPoint(CGPoint point);

    const std::shared_ptr<UITapGestureRecognizer>& tapGestureRecognizer() const { return tap_; }
    const std::shared_ptr<UIPanGestureRecognizer>& panGestureRecognizer() const { return pan_; }

    void drawRect(const CGRect& rect) override;
    bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) override;

protected:
    // Widens the x range that the data and the axis spaces make (bars need room for their width).
    virtual void adjustXRange(double& xMin, double& xMax) const {
        (void)xMin;
        (void)xMax;
    }
    virtual void drawDataSet(CGContext& context, const ChartDataSet& dataSet) = 0;
    virtual void drawHighlight(CGContext& context, const ChartDataSet& dataSet, const Highlight& highlight) = 0;
    // The gap between a value's mark and its text.
    virtual CGFloat valueTextGap(const ChartDataSet& dataSet) const {
        (void)dataSet;
        return 4;
    }
    // The data set of a highlight, if it is still there.
    const ChartDataSet* dataSetOf(const Highlight& highlight) const;

private:
    void selectValueAt(CGPoint point, bool onlyWhenChanged);
    void tapped(UIGestureRecognizer& tap);
    void panned(UIGestureRecognizer& pan);
    // Entries' x positions that get a label: every so many from the last, so that labels do not meet.
    std::vector<double> xLabelPositions() const;
    std::vector<double> yLabelPositions(const YAxis& axis) const;
    void drawGridAndAxisLines(CGContext& context, const std::vector<double>& xPositions);
    void drawXLabels(const std::vector<double>& positions);
    void drawYLabels(const YAxis& axis);
    void drawValues(const ChartDataSet& dataSet, int dataSetIndex);
    void drawNoData();
    CGFloat valueTextHeight() const;
    CGFloat xLabelHeight() const;

    std::shared_ptr<ChartData> data_;
    std::weak_ptr<ChartViewDelegate> delegate_;
    XAxis xAxis_;
    YAxis leftAxis_{YAxis::Side::left};
    YAxis rightAxis_{YAxis::Side::right};
    ViewPortHandler viewPort_;
    bool highlightPerTap_ = true;
    bool highlightPerDrag_ = true;
    bool dragEnabled_ = true;
    std::optional<Highlight> highlighted_;
    std::shared_ptr<UITapGestureRecognizer> tap_;
    std::shared_ptr<UIPanGestureRecognizer> pan_;
};

}  // namespace platform
