#include "platform/charts/chart_view_base.h"

#include <algorithm>
#include <cmath>

#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/text/ns_attributed_string.h"

namespace platform {

namespace {

constexpr CGFloat kLabelGap = 4;       // between the values' area and the axis labels
constexpr CGFloat kLabelSpacing = 8;   // the least room between two x labels
constexpr CGFloat kYLabelInset = 2;    // y labels inside the values' area
constexpr CGFloat kMinOffset = 10;     // room around the drawing on every side
// Shown in the middle when there is nothing to draw.
constexpr const char* kNoDataText = "No chart data available.";

NSAttributedString styled(const std::string& text, const std::shared_ptr<UIFont>& font,
                          const std::shared_ptr<UIColor>& color) {
    return NSAttributedString(text, {font, color});
}

bool isVisible(const std::shared_ptr<UIColor>& color) {
    return color && color->alpha() > 0;
}

// 1, 2 or 5 times a power of ten: the nearest such step at or above `raw`.
double niceStep(double raw) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (raw <= factor * magnitude) return factor * magnitude;
    }
    return 10 * magnitude;
}

}  // namespace

ChartViewBase::ChartViewBase(const CGRect& frame)
    : UIView(frame),
      tap_(std::make_shared<UITapGestureRecognizer>([](UIGestureRecognizer& tap) {
          if (auto chart = std::dynamic_pointer_cast<ChartViewBase>(tap.view())) chart->tapped(tap);
      })),
      pan_(std::make_shared<UIPanGestureRecognizer>([](UIGestureRecognizer& pan) {
          if (auto chart = std::dynamic_pointer_cast<ChartViewBase>(pan.view())) chart->panned(pan);
      })) {
    setOpaque(false);
    setBackgroundColor(UIColor::clearColor());
    addGestureRecognizer(tap_);
    addGestureRecognizer(pan_);
}

void ChartViewBase::setData(std::shared_ptr<ChartData> data) {
    data_ = std::move(data);
    highlighted_.reset();
    setNeedsDisplay();
}

void ChartViewBase::highlightValue(std::optional<Highlight> highlight) {
    highlighted_ = std::move(highlight);
    setNeedsDisplay();
}

const ChartDataSet* ChartViewBase::dataSetOf(const Highlight& highlight) const {
    if (!data_ || highlight.dataSetIndex < 0 || highlight.dataSetIndex >= data_->dataSetCount()) return nullptr;
    return data_->dataSets()[std::size_t(highlight.dataSetIndex)].get();
}

bool ChartViewBase::gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) {
    if (&recognizer == pan_.get() && !dragEnabled_) return false;
    return UIView::gestureRecognizerShouldBegin(recognizer);
}

// Layout -------------------------------------------------------------------------------------------

CGFloat ChartViewBase::valueTextHeight() const {
    CGFloat height = 0;
    if (!data_) return height;
    for (const auto& set : data_->dataSets()) {
        if (set->isDrawValuesEnabled())
            height = std::max(height, styled("0", set->valueFont(), nullptr).size().height + valueTextGap(*set));
    }
    return height;
}

CGFloat ChartViewBase::xLabelHeight() const {
    if (!xAxis_.isEnabled() || !xAxis_.isDrawLabelsEnabled()) return 0;
    return styled("0", xAxis_.labelFont(), nullptr).size().height + kLabelGap;
}

void ChartViewBase::prepareViewPort() {
    const CGRect b = bounds();
    const CGFloat labels = xLabelHeight();
    const bool labelsOnTop = xAxis_.labelPosition() == XAxis::LabelPosition::top;
    const CGFloat top = kMinOffset + valueTextHeight() + (labelsOnTop ? labels : 0);
    const CGFloat bottom = kMinOffset + (labelsOnTop ? 0 : labels);
    viewPort_.setContentRect(CGRect(b.minX() + kMinOffset, b.minY() + top, std::max<CGFloat>(0, b.width() - 2 * kMinOffset),
                                    std::max<CGFloat>(0, b.height() - top - bottom)));
    if (!data_) return;
    double xMin = data_->xMin() - xAxis_.spaceMin(), xMax = data_->xMax() + xAxis_.spaceMax();
    adjustXRange(xMin, xMax);
    const double yMin = std::min(0.0, data_->yMin());
    double yMax = std::max(0.0, data_->yMax());
    if (!(yMax > yMin)) yMax = yMin + 1;
    viewPort_.setRanges(xMin, xMax, yMin, yMax);
}

std::vector<double> ChartViewBase::xLabelPositions() const {
    std::vector<double> xs;
    if (!data_ || data_->dataSetCount() == 0) return xs;
    for (const auto& entry : data_->dataSets().front()->entries()) {
        if (ChartDataSet::isDrawable(entry)) xs.push_back(entry.x());
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    if (xs.size() < 2) return xs;

    CGFloat widest = 0;
    for (double x : xs) widest = std::max(widest, styled(xAxis_.labelText(x), xAxis_.labelFont(), nullptr).size().width);
    const double step = (xs.back() - xs.front()) / double(xs.size() - 1);
    const CGFloat stepPoints = CGFloat(step) * viewPort_.scaleX();
    long stride = stepPoints > 0 ? long(std::ceil((widest + kLabelSpacing) / stepPoints)) : long(xs.size());
    if (xAxis_.granularity() > 0 && step > 0) stride = std::max(stride, long(std::ceil(xAxis_.granularity() / step)));
    stride = std::clamp(stride, 1L, long(xs.size()));

    std::vector<double> chosen;
    for (long i = long(xs.size()) - 1; i >= 0; i -= stride) chosen.push_back(xs[std::size_t(i)]);
    std::reverse(chosen.begin(), chosen.end());
    return chosen;
}

std::vector<double> ChartViewBase::yLabelPositions(const YAxis& axis) const {
    const double range = viewPort_.yMax() - viewPort_.yMin();
    double step = niceStep(range / (axis.labelCount() - 1));
    if (axis.granularity() > 0) step = std::max(step, axis.granularity());
    std::vector<double> positions;
    for (double y = std::ceil(viewPort_.yMin() / step) * step; y <= viewPort_.yMax() + step * 1e-9; y += step)
        positions.push_back(std::abs(y) < step * 1e-9 ? 0 : y);
    return positions;
}

// Touches ------------------------------------------------------------------------------------------

std::optional<Highlight> ChartViewBase::highlightForPoint(CGPoint point) {
    if (!data_) return std::nullopt;
    prepareViewPort();
    const double x = viewPort_.xValueForPixel(point.x);
    std::optional<Highlight> nearest;
    CGFloat distance = 0;
    for (int i = 0; i < int(data_->dataSetCount()); ++i) {
        const auto& set = *data_->dataSets()[std::size_t(i)];
        if (!set.isHighlightEnabled()) continue;
        const auto index = set.entryIndexForXValue(x);
        if (!index) continue;
        const auto& entry = set.entries()[std::size_t(*index)];
        const CGPoint drawn = viewPort_.pixelForValues(entry.x(), entry.y());
        const CGFloat d = std::abs(drawn.x - point.x);
        if (!nearest || d < distance) {
            nearest = Highlight{entry.x(), entry.y(), i, drawn};
            distance = d;
        }
    }
    return nearest;
}

void ChartViewBase::selectValueAt(CGPoint point, bool onlyWhenChanged) {
    auto highlight = highlightForPoint(point);
    if (!highlight) return;
    if (onlyWhenChanged && highlighted_ && highlighted_->x == highlight->x &&
        highlighted_->dataSetIndex == highlight->dataSetIndex)
        return;
    highlightValue(highlight);
    const auto* set = dataSetOf(*highlight);
    const auto index = set ? set->entryIndexForXValue(highlight->x) : std::nullopt;
    if (!index) return;
    // A copy: the delegate may replace the data while it holds the entry.
    const ChartDataEntry entry = set->entries()[std::size_t(*index)];
    if (auto delegate = delegate_.lock()) delegate->chartValueSelected(*this, entry, *highlight);
}

void ChartViewBase::tapped(UIGestureRecognizer& tap) {
    if (tap.state() != UIGestureRecognizerStateRecognized || !highlightPerTap_) return;
    selectValueAt(tap.locationInView(this), false);
}

void ChartViewBase::panned(UIGestureRecognizer& pan) {
    switch (pan.state()) {
        case UIGestureRecognizerState::began:
        case UIGestureRecognizerState::changed:
            if (highlightPerDrag_) selectValueAt(pan.locationInView(this), true);
            break;
        case UIGestureRecognizerState::ended:
        case UIGestureRecognizerState::cancelled:
            if (auto delegate = delegate_.lock()) delegate->chartViewDidEndPanning(*this);
            break;
        default:
            break;
    }
}

// Drawing ------------------------------------------------------------------------------------------

void ChartViewBase::drawRect(const CGRect& rect) {
    (void)rect;
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    if (!data_ || data_->entryCount() == 0) return drawNoData();
    prepareViewPort();
    if (viewPort_.contentRect().isEmpty()) return;

    const auto xPositions = xLabelPositions();
    drawGridAndAxisLines(*context, xPositions);
    for (const auto& set : data_->dataSets()) drawDataSet(*context, *set);
    if (highlighted_) {
        if (const auto* set = dataSetOf(*highlighted_)) drawHighlight(*context, *set, *highlighted_);
    }
    for (int i = 0; i < int(data_->dataSetCount()); ++i) drawValues(*data_->dataSets()[std::size_t(i)], i);
    drawXLabels(xPositions);
    drawYLabels(leftAxis_);
    drawYLabels(rightAxis_);
}

void ChartViewBase::drawNoData() {
    const auto text = styled(kNoDataText, UIFont::systemFontOfSize(12), UIColor::blackColor());
    const CGSize size = text.size();
    text.drawAtPoint({bounds().midX() - size.width / 2, bounds().midY() - size.height / 2});
}

void ChartViewBase::drawGridAndAxisLines(CGContext& context, const std::vector<double>& xPositions) {
    const CGRect content = viewPort_.contentRect();
    auto line = [&](CGPoint from, CGPoint to, const std::shared_ptr<UIColor>& color) {
        CGPath path;
        path.moveTo(from);
        path.addLineTo(to);
        context.setStrokeColor(color);
        context.setLineWidth(0.5);
        context.addPath(path);
        context.strokePath();
    };
    if (xAxis_.isEnabled() && xAxis_.isDrawGridLinesEnabled()) {
        for (double x : xPositions) {
            const CGFloat px = viewPort_.pixelForValues(x, 0).x;
            line({px, content.minY()}, {px, content.maxY()}, xAxis_.gridColor());
        }
    }
    for (const YAxis* axis : {&leftAxis_, &rightAxis_}) {
        if (!axis->isEnabled() || !axis->isDrawGridLinesEnabled()) continue;
        for (double y : yLabelPositions(*axis)) {
            const CGFloat py = viewPort_.pixelForValues(0, y).y;
            line({content.minX(), py}, {content.maxX(), py}, axis->gridColor());
        }
    }
    if (xAxis_.isEnabled() && xAxis_.isDrawAxisLineEnabled()) {
        const CGFloat y = xAxis_.labelPosition() == XAxis::LabelPosition::top ? content.minY() : content.maxY();
        line({content.minX(), y}, {content.maxX(), y}, xAxis_.axisLineColor());
    }
    for (const YAxis* axis : {&leftAxis_, &rightAxis_}) {
        if (!axis->isEnabled() || !axis->isDrawAxisLineEnabled()) continue;
        const CGFloat x = axis->side() == YAxis::Side::left ? content.minX() : content.maxX();
        line({x, content.minY()}, {x, content.maxY()}, axis->axisLineColor());
    }
}

void ChartViewBase::drawValues(const ChartDataSet& dataSet, int dataSetIndex) {
    if (!dataSet.isDrawValuesEnabled() || !isVisible(dataSet.valueTextColor())) return;
    const CGRect content = viewPort_.contentRect();
    for (long i = 0; i < dataSet.entryCount(); ++i) {
        const auto& entry = dataSet.entries()[std::size_t(i)];
        if (!ChartDataSet::isDrawable(entry)) continue;
        const CGPoint point = viewPort_.pixelForValues(entry.x(), entry.y());
        if (point.x < content.minX() - 0.5 || point.x > content.maxX() + 0.5) continue;
        const std::string text = dataSet.valueText(i, dataSetIndex, &viewPort_);
        if (text.empty()) continue;
        const auto styledText = styled(text, dataSet.valueFont(), dataSet.valueTextColor());
        const CGSize size = styledText.size();
        const CGFloat gap = valueTextGap(dataSet);
        const CGFloat y = entry.y() >= 0 ? point.y - gap - size.height : point.y + gap;
        styledText.drawAtPoint({point.x - size.width / 2, y});
    }
}

void ChartViewBase::drawXLabels(const std::vector<double>& positions) {
    if (!xAxis_.isEnabled() || !xAxis_.isDrawLabelsEnabled() || !isVisible(xAxis_.labelTextColor())) return;
    const CGRect content = viewPort_.contentRect();
    const CGRect b = bounds();
    for (double x : positions) {
        const auto text = styled(xAxis_.labelText(x), xAxis_.labelFont(), xAxis_.labelTextColor());
        const CGSize size = text.size();
        CGFloat left = viewPort_.pixelForValues(x, 0).x - size.width / 2;
        if (xAxis_.isAvoidFirstLastClippingEnabled())
            left = std::clamp(left, b.minX(), std::max(b.minX(), b.maxX() - size.width));
        const CGFloat top = xAxis_.labelPosition() == XAxis::LabelPosition::top
                                ? content.minY() - kLabelGap - size.height
                                : content.maxY() + kLabelGap;
        text.drawAtPoint({left, top});
    }
}

void ChartViewBase::drawYLabels(const YAxis& axis) {
    if (!axis.isEnabled() || !axis.isDrawLabelsEnabled() || !isVisible(axis.labelTextColor())) return;
    const CGRect content = viewPort_.contentRect();
    for (double y : yLabelPositions(axis)) {
        const auto text = styled(axis.labelText(y), axis.labelFont(), axis.labelTextColor());
        const CGSize size = text.size();
        const CGFloat left = axis.side() == YAxis::Side::left ? content.minX() + kYLabelInset
                                                              : content.maxX() - kYLabelInset - size.width;
        text.drawAtPoint({left, viewPort_.pixelForValues(0, y).y - size.height / 2});
    }
}

}  // namespace platform
