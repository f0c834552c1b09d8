#include "app/screens/statistics/stat_container_view.h"

#include <cstdio>

#include "app/core/formatting_helpers.h"
#include "app/widgets/icons/icon_font.h"
#include "platform/foundation/saturating_cast.h"
#include "platform/uikit/controls/ui_control.h"

namespace quorvel {

using namespace platform;

void StatContainerView::configure(const std::string& title, std::int64_t days, const DayNumbers& dayNumbers) {
    if (auto label = titleLabel()) label->setText(title);
    const NSDate today = startOfDay(NSDate::now());
    // The earlier period is anchored N + 1 days back, so the day exactly N days ago counts in neither.
    const std::int64_t current = sumOfDays(dayNumbers, today, days).pomodoros;
    const std::int64_t previous =
        days > 0 ? sumOfDays(dayNumbers, startOfDayDaysAfter(today, -(days + 1)), days).pomodoros : 0;
    if (auto button = pomodorosButton()) button->setTitle(std::to_string(current), UIControlStateNormal);
    if (auto button = sessionsButton()) button->setTitle(comparisonText(current, previous), UIControlStateNormal);
    setArrows(addSaturating(current, -previous));
}

std::string StatContainerView::comparisonText(std::int64_t current, std::int64_t previous) {
    const std::int64_t difference = addSaturating(current, -previous);
    char text[96];
    if (previous != 0) {
        const float percent = float(difference) / float(previous) * 100;
        std::snprintf(text, sizeof text, "%lld (%.1f%%)", static_cast<long long>(difference), percent);
    } else {
        std::snprintf(text, sizeof text, "%.1f Sessions", double(difference));
    }
    return text;
}

void StatContainerView::setArrows(std::int64_t difference) {
    auto small = sessionsButton(), large = pomodorosButton();
    const auto color = UIColor::whiteColor()->colorWithAlphaComponent(0.5);
    const bool up = difference >= 1, down = difference < 0;
    auto arrow = [&](const char* upGlyph, const char* downGlyph, double size) {
        return up || down ? IconFont::imageWithIcon(up ? upGlyph : downGlyph, size, color) : nullptr;
    };
    if (small) small->setImage(arrow(kSmallUpArrow, kSmallDownArrow, kSmallArrowSize), UIControlStateNormal);
    if (large) large->setImage(arrow(kLargeUpArrow, kLargeDownArrow, kLargeArrowSize), UIControlStateNormal);
}

}  // namespace quorvel
