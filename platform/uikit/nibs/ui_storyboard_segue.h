#pragma once

#include <memory>
#include <string>

namespace platform {

class UIViewController;

enum class UIStoryboardSegueKind : int {
    // Pushed onto the source's navigation controller; presented when there is none.
    show,
    // Presented from the source, animated.
    presentModally,
};

// A move from one storyboard scene to another, made for each performSegueWithIdentifier: the source
// prepares the destination in prepareForSegue, then the segue performs the move.
class UIStoryboardSegue {
public:
    UIStoryboardSegue(std::string identifier, const std::shared_ptr<UIViewController>& source,
                      std::shared_ptr<UIViewController> destination, UIStoryboardSegueKind kind);
    virtual ~UIStoryboardSegue() = default;

    const std::string& identifier() const { return identifier_; }
    const std::shared_ptr<UIViewController>& destinationViewController() const { return destination_; }
    UIStoryboardSegueKind kind() const { return kind_; }

    virtual void perform();

private:
    std::string identifier_;
    std::weak_ptr<UIViewController> source_;
    std::shared_ptr<UIViewController> destination_;
    UIStoryboardSegueKind kind_;
};

}  // namespace platform
