#include "platform/uikit/nibs/ui_storyboard.h"

#include <map>
#include <utility>

#include "platform/foundation/console.h"
#include "platform/uikit/controllers/ui_view_controller.h"

namespace platform {

namespace {

struct SegueTemplate {
    std::string destination;
    UIStoryboardSegueKind kind;
};

struct Board {
    std::map<std::string, UIStoryboard::MakeController> scenes;
    std::string initial;
    std::map<std::pair<std::string, std::string>, SegueTemplate> segues;  // by source scene and identifier
};

std::map<std::string, Board>& boards() {
    static std::map<std::string, Board> registry;
    return registry;
}

// The nib a scene's view is built from.
std::string viewNibName(const std::string& storyboard, const std::string& identifier) {
    return storyboard + "/" + identifier + "/view";
}

}  // namespace

void UIStoryboard::registerScene(const std::string& storyboard, const std::string& identifier, MakeController make,
                                 UINib::Builder view) {
    boards()[storyboard].scenes[identifier] = std::move(make);
    UINib::registerNib(viewNibName(storyboard, identifier), std::move(view));
}

void UIStoryboard::setInitialScene(const std::string& storyboard, const std::string& identifier) {
    boards()[storyboard].initial = identifier;
}

void UIStoryboard::registerSegue(const std::string& storyboard, const std::string& source,
                                 const std::string& identifier, const std::string& destination,
                                 UIStoryboardSegueKind kind) {
    boards()[storyboard].segues[{source, identifier}] = {destination, kind};
}

std::shared_ptr<UIStoryboard> UIStoryboard::storyboardWithName(const std::string& name,
                                                               const std::shared_ptr<NSBundle>& bundle) {
    (void)bundle;
    auto it = boards().find(name);
    if (it == boards().end() || it->second.scenes.empty()) return nullptr;
    return std::make_shared<UIStoryboard>(name);
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateViewControllerWithIdentifier(const std::string& identifier) {
    const Board& board = boards()[name_];
    auto scene = board.scenes.find(identifier);
    auto controller = scene == board.scenes.end() || !scene->second ? nullptr : scene->second();
    if (!controller) {
        Console::print("Storyboard " + name_ + " has no scene " + identifier);
        return nullptr;
    }
    std::string nib = viewNibName(name_, identifier);
    if (controller->nibName().empty() && UINib::nibWithNibName(nib)) controller->setNibName(nib);
    controller->storyboard_ = shared_from_this();
    controller->sceneIdentifier_ = identifier;
    controller->awakeFromNib();
    return controller;
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateInitialViewController() {
    const std::string initial = boards()[name_].initial;
    return initial.empty() ? nullptr : instantiateViewControllerWithIdentifier(initial);
}

std::shared_ptr<UIStoryboardSegue> UIStoryboard::segueFrom(const std::shared_ptr<UIViewController>& source,
                                                           const std::string& sourceScene,
                                                           const std::string& identifier) {
    const Board& board = boards()[name_];
    auto it = board.segues.find({sourceScene, identifier});
    if (it == board.segues.end()) return nullptr;
    auto destination = instantiateViewControllerWithIdentifier(it->second.destination);
    if (!destination) return nullptr;
    return std::make_shared<UIStoryboardSegue>(identifier, source, destination, it->second.kind);
}

}  // namespace platform
