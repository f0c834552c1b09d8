#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

enum class UIAlertActionStyle : int { defaultStyle = 0, cancel = 1, destructive = 2 };

// One button of an alert controller; its handler runs once the alert is gone.
class UIAlertAction : public std::enable_shared_from_this<UIAlertAction> {
public:
    using Handler = std::function<void(UIAlertAction& action)>;

    static std::shared_ptr<UIAlertAction> actionWithTitle(const std::string& title, UIAlertActionStyle style,
                                                          Handler handler);

    const std::string& title() const { return title_; }
    UIAlertActionStyle style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    void runHandler();

private:
    UIAlertAction(std::string title, UIAlertActionStyle style, Handler handler)
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

    std::string title_;
    UIAlertActionStyle style_;
    Handler handler_;
    bool enabled_ = true;
};

}  // namespace platform
