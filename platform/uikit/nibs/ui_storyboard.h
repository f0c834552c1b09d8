#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/nibs/ui_storyboard_segue.h"

namespace platform {

class NSBundle;
class UIViewController;

// A storyboard by name: scenes registered under it in code, each a way to make a controller and,
// optionally, to build its view (as a nib owned by the controller, so the outlets are connected in the
// nib's order before viewDidLoad), and the segues between scenes. The screens register theirs at start;
// a storyboard exists once it has a scene. Main thread.
class UIStoryboard : public std::enable_shared_from_this<UIStoryboard> {
public:
    using MakeController = std::function<std::shared_ptr<UIViewController>()>;

    // Without a view builder the controller makes its view itself. A later registration under the same
    // names replaces the earlier one.
    static void registerScene(const std::string& storyboard, const std::string& identifier, MakeController make,
                              UINib::Builder view = nullptr);
    static void setInitialScene(const std::string& storyboard, const std::string& identifier);
    static void registerSegue(const std::string& storyboard, const std::string& source, const std::string& identifier,
                              const std::string& destination, UIStoryboardSegueKind kind);

    // Null when nothing is registered under the name. The bundle is the main bundle, always.
    static std::shared_ptr<UIStoryboard> storyboardWithName(const std::string& name,
                                                            const std::shared_ptr<NSBundle>& bundle = nullptr);

    const std::string& name() const { return name_; }
    // A new controller each time; null (and a console line) for an unknown identifier.
    std::shared_ptr<UIViewController> instantiateViewControllerWithIdentifier(const std::string& identifier);
    std::shared_ptr<UIViewController> instantiateInitialViewController();
    // The segue `identifier` leaving the scene `source`, with a new destination; null when there is none.
    std::shared_ptr<UIStoryboardSegue> segueFrom(const std::shared_ptr<UIViewController>& source,
                                                 const std::string& sourceScene, const std::string& identifier);

    explicit UIStoryboard(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};

}  // namespace platform
