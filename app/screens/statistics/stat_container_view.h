#pragma once

#include <memory>
#include <string>

#include "app/screens/statistics/day_number.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// A box of the statistics screen: the sessions of the last N days, and how that compares with the N
// days before them, as a difference with a percentage and as up or down arrows. Made by the statistics
// storyboard only.
class StatContainerView : public platform::UIView {
public:
    std::shared_ptr<platform::UILabel> titleLabel() const { return titleLabel_.lock(); }
    void setTitleLabel(const std::shared_ptr<platform::UILabel>& label) { titleLabel_ = label; }
    std::shared_ptr<platform::UILabel> totalLabel() const { return totalLabel_.lock(); }
    void setTotalLabel(const std::shared_ptr<platform::UILabel>& label) { totalLabel_ = label; }
    std::shared_ptr<platform::UIButton> pomodorosButton() const { return pomodorosButton_.lock(); }
    void setPomodorosButton(const std::shared_ptr<platform::UIButton>& button) { pomodorosButton_ = button; }
    std::shared_ptr<platform::UIButton> sessionsButton() const { return sessionsButton_.lock(); }
    void setSessionsButton(const std::shared_ptr<platform::UIButton>& button) { sessionsButton_ = button; }

    // Fills the box for the `days` days ending today, compared with the `days` days before them.
    virtual void configure(const std::string& title, std::int64_t days, const DayNumbers& dayNumbers);

    // The arrows of the icon font, small on the comparison and large on the total.
    static constexpr const char* kSmallUpArrow = "\uF262";
    static constexpr const char* kLargeUpArrow = "\uF10D";
    static constexpr const char* kSmallDownArrow = "\uF260";
    static constexpr const char* kLargeDownArrow = "\uF104";
    static constexpr double kSmallArrowSize = 16;
    static constexpr double kLargeArrowSize = 32;

    // "3 (25.0%)" against an earlier total, or "12.0 Sessions" when there was none.
    static std::string comparisonText(std::int64_t current, std::int64_t previous);

private:
    void setArrows(std::int64_t difference);

    std::weak_ptr<platform::UILabel> titleLabel_;
    std::weak_ptr<platform::UILabel> totalLabel_;
    std::weak_ptr<platform::UIButton> pomodorosButton_;
    std::weak_ptr<platform::UIButton> sessionsButton_;
};

}  // namespace quorvel
