#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/screens/statistics/day_number.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The panel over a chart that shows the touched day: its date, its number of sessions and its focus
// time. Its separator hairline slides in and fades in whenever the panel is shown, and is parked out of
// sight while it is hidden. Made by the statistics storyboard only.
class ChartResultView : public platform::UIView {
public:
    using DayNumberTuple = std::pair<platform::NSDate, DayNumber>;

    ChartResultView();
    ~ChartResultView() override;

    std::shared_ptr<platform::UILabel> dateLabel() const { return dateLabel_.lock(); }
    void setDateLabel(const std::shared_ptr<platform::UILabel>& label) { dateLabel_ = label; }
    std::shared_ptr<platform::UILabel> sessionLabel() const { return sessionLabel_.lock(); }
    void setSessionLabel(const std::shared_ptr<platform::UILabel>& label) { sessionLabel_ = label; }
    std::shared_ptr<platform::UILabel> avgTimeLabel() const { return avgTimeLabel_.lock(); }
    void setAvgTimeLabel(const std::shared_ptr<platform::UILabel>& label) { avgTimeLabel_ = label; }
    std::shared_ptr<platform::UIView> separatorView() const { return separatorView_.lock(); }
    void setSeparatorView(const std::shared_ptr<platform::UIView>& view) { separatorView_ = view; }
    std::shared_ptr<platform::UILabel> sessionTextLabel() const { return sessionTextLabel_.lock(); }
    void setSessionTextLabel(const std::shared_ptr<platform::UILabel>& label) { sessionTextLabel_ = label; }

    // A day fills the panel; none leaves it as it is.
    const std::optional<DayNumberTuple>& dayNumberTuple() const { return dayNumberTuple_; }
    void setDayNumberTuple(std::optional<DayNumberTuple> tuple);
    // A date writes the date label; none leaves it as it is.
    const std::optional<platform::NSDate>& selectedDate() const { return selectedDate_; }
    void setSelectedDate(std::optional<platform::NSDate> date);
    std::int64_t pomodoros() const { return pomodoros_; }
    const std::string& avgTime() const { return avgTime_; }

    // Showing (again) slides the separator to its resting place; hiding parks it.
    void setHidden(bool hidden) override;
    void awakeFromNib() override;
    // The separator invisible and just outside the panel: below it when vertical (1 point wide), to
    // its left otherwise.
    virtual void resetSeparator();

    static constexpr double kSeparatorAnimationDuration = 0.2;
    static constexpr platform::CGFloat kSeparatorInset = 12;

private:
    std::weak_ptr<platform::UILabel> dateLabel_;
    std::weak_ptr<platform::UILabel> sessionLabel_;
    std::weak_ptr<platform::UILabel> avgTimeLabel_;
    std::weak_ptr<platform::UIView> separatorView_;
    std::weak_ptr<platform::UILabel> sessionTextLabel_;
    std::optional<DayNumberTuple> dayNumberTuple_;
    std::optional<platform::NSDate> selectedDate_;
    std::int64_t pomodoros_ = 0;
    std::string avgTime_;
};

}  // namespace quorvel
