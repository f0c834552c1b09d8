#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/controllers/ui_alert_action.h"
#include "platform/uikit/controllers/ui_view_controller.h"

namespace platform {

class ContainerView;
class UIButton;
class UILabel;

enum class UIAlertControllerStyle : int { actionSheet = 0, alert = 1 };

// A question with buttons, presented over whatever shows. An alert is a card in the middle over a
// dimmed screen, its buttons side by side when there are two and stacked otherwise; an action sheet is
// a card at the bottom, or a panel beside its source on a wide tablet window. Cancel buttons come last.
// A tap on a button dismisses the controller and then runs the action's handler. Main thread.
class UIAlertController : public UIViewController {
public:
    static constexpr CGFloat kAlertWidth = 270;
    static constexpr CGFloat kSheetWidth = 304;
    static constexpr CGFloat kButtonHeight = 44;

    static std::shared_ptr<UIAlertController> alertControllerWithTitle(std::optional<std::string> title,
                                                                       std::optional<std::string> message,
                                                                       UIAlertControllerStyle style);

    const std::optional<std::string>& message() const { return message_; }
    // Added before the controller is shown.
    void addAction(const std::shared_ptr<UIAlertAction>& action);
    const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return actions_; }
    // The actions in the order their buttons show (cancel last), and those buttons, once loaded.
    std::vector<std::shared_ptr<UIAlertAction>> actionsAsShown() const;
    const std::vector<std::shared_ptr<UIButton>>& buttons() const { return buttons_; }

    void loadView() override;

private:
    UIAlertController(std::optional<std::string> title, std::optional<std::string> message,
                      UIAlertControllerStyle style);
    void buttonTapped(size_t index);
    // The card's height for its width, laying out its content when asked to.
    CGFloat layoutCard(CGFloat width, bool place);
    void layoutView(ContainerView& view);

    std::optional<std::string> alertTitle_;
    std::optional<std::string> message_;
    UIAlertControllerStyle style_;
    std::vector<std::shared_ptr<UIAlertAction>> actions_;
    std::shared_ptr<UIView> card_;
    std::shared_ptr<UIView> header_;
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UILabel> messageLabel_;
    std::vector<std::shared_ptr<UIButton>> buttons_;
};

}  // namespace platform
