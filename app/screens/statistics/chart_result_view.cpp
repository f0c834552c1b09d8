#include "app/screens/statistics/chart_result_view.h"

#include "app/core/formatting_helpers.h"

namespace quorvel {

using namespace platform;

namespace {

bool isVertical(const UIView& separator) {
    return separator.frame().size.width == 1.0;
}

}  // namespace

ChartResultView::ChartResultView() = default;

ChartResultView::~ChartResultView() {
    layer()->removeAllAnimations();
}

void ChartResultView::setDayNumberTuple(std::optional<DayNumberTuple> tuple) {
    dayNumberTuple_ = std::move(tuple);
    if (!dayNumberTuple_) return;
    const auto& [day, record] = *dayNumberTuple_;
    setSelectedDate(day);
    pomodoros_ = record.pomodoros;
    if (auto label = sessionLabel()) label->setText(std::to_string(pomodoros_));
    avgTime_ = durationTextFromMinutes(false, record.minutes);
    if (auto label = avgTimeLabel()) label->setText(avgTime_);
}

void ChartResultView::setSelectedDate(std::optional<NSDate> date) {
    selectedDate_ = date;
    if (!date) return;
    if (auto label = dateLabel()) label->setText(dateTextFromTemplate(*date, "EE,\nd MMM"));
}

void ChartResultView::setHidden(bool hidden) {
    UIView::setHidden(hidden);
    if (hidden) return resetSeparator();
    auto separator = separatorView();
    if (!separator) return;
    UIView::animateWithDuration(kSeparatorAnimationDuration, [&] {
        CGRect frame = separator->frame();
        if (isVertical(*separator)) {
            frame.origin.y = kSeparatorInset;
        } else {
            frame.origin.x = kSeparatorInset;
        }
        separator->setAlpha(1.0);
        separator->setFrame(frame);
    });
}

void ChartResultView::awakeFromNib() {
    UIView::awakeFromNib();
    resetSeparator();
}

void ChartResultView::resetSeparator() {
    auto separator = separatorView();
    if (!separator) return;
    separator->setAlpha(0);
    CGRect frame = separator->frame();
    if (isVertical(*separator)) {
        frame.origin.y = bounds().height();
    } else {
        frame.origin.x = -bounds().width();
    }
    separator->setFrame(frame);
}

}  // namespace quorvel
