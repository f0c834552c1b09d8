#include "platform/uikit/controllers/ui_view_controller.h"

#include <algorithm>

#include "platform/foundation/console.h"
#include "platform/uikit/controllers/ui_popover_presentation_controller.h"
#include "platform/uikit/controllers/ui_view_controller_transition_coordinator.h"
#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/nibs/ui_storyboard.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

UIViewController::UIViewController() = default;

UIViewController::UIViewController(std::string nibName) : nibName_(std::move(nibName)) {}

UIViewController::~UIViewController() {
    if (view_ && view_->viewController_ == this) view_->viewController_ = nullptr;
}

UIResponder* UIViewController::nextResponder() const {
    if (parent_.expired()) {
        if (auto presenting = presenting_.lock()) return presenting.get();
    }
    return view_ ? view_->superview().get() : nullptr;
}

// View ------------------------------------------------------------------------------------------------

const std::shared_ptr<UIView>& UIViewController::view() {
    loadViewIfNeeded();
    return view_;
}

void UIViewController::loadViewIfNeeded() {
    // A view asked for while it is being made is not made again inside itself.
    if (viewDidLoadCalled_ || loadingView_) return;
    auto keep = weak_from_this().lock();
    loadingView_ = true;
    if (!view_) loadView();
    if (!view_) UIViewController::loadView();
    loadingView_ = false;
    viewDidLoadCalled_ = true;
    viewDidLoad();
}

void UIViewController::setView(const std::shared_ptr<UIView>& view) {
    if (view == view_) return;
    if (view_ && view_->viewController_ == this) view_->viewController_ = nullptr;
    // A view serves one controller.
    if (view && view->viewController_) {
        UIViewController* previous = view->viewController_;
        previous->view_.reset();
        previous->viewDidLoadCalled_ = false;
    }
    view_ = view;
    if (view_) {
        view_->viewController_ = this;
    } else {
        viewDidLoadCalled_ = false;  // the next use loads a new one
    }
}

void UIViewController::loadView() {
    if (!nibName_.empty()) {
        if (auto nib = UINib::nibWithNibName(nibName_)) {
            nib->instantiateWithOwner(shared_from_this());
            if (view_) return;
        }
        Console::print("The nib " + nibName_ + " gave no view; the controller gets a plain one");
    }
    auto view = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setView(view);
}

// Appearance ------------------------------------------------------------------------------------------

void UIViewController::beginAppearanceTransition(bool appearing, bool animated) {
    if (appearing == isShowing()) return;
    auto keep = weak_from_this().lock();
    appearance_ = appearing ? Appearance::appearing : Appearance::disappearing;
    appearanceAnimated_ = animated;
    if (appearing) {
        loadViewIfNeeded();
        viewWillAppear(animated);
    } else {
        viewWillDisappear(animated);
    }
    for (const auto& child : childrenInView()) child->beginAppearanceTransition(appearing, animated);
}

void UIViewController::endAppearanceTransition() {
    auto keep = weak_from_this().lock();
    if (appearance_ == Appearance::appearing) {
        appearance_ = Appearance::appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::disappearing) {
        appearance_ = Appearance::disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    for (const auto& child : childrenInView()) child->endAppearanceTransition();
}

std::vector<std::shared_ptr<UIViewController>> UIViewController::childrenInView() const {
    std::vector<std::shared_ptr<UIViewController>> inView;
    if (!view_) return inView;
    for (const auto& child : children_) {
        if (child->view_ && child->view_->isDescendantOfView(view_.get())) inView.push_back(child);
    }
    return inView;
}

// Traits and rotation ---------------------------------------------------------------------------------

UITraitCollection UIViewController::traitCollection() const {
    if (view_ && view_->window()) return view_->traitCollection();
    return UITraitCollection::forWindowSize(UIScreen::mainScreen().applicationFrame().size);
}

unsigned UIViewController::supportedInterfaceOrientations() const {
    return DeviceProfile::current().idiom == UIUserInterfaceIdiom::pad ? UIInterfaceOrientationMaskAll
                                                                        : UIInterfaceOrientationMaskAllButUpsideDown;
}

void UIViewController::attemptRotationToDeviceOrientation() {
    InterfaceDriver::attemptRotationToDeviceOrientation();
}

void UIViewController::viewWillTransitionToSize(CGSize size, UIViewControllerTransitionCoordinator& coordinator) {
    for (const auto& child : std::vector(children_)) child->viewWillTransitionToSize(size, coordinator);
}

void UIViewController::willTransitionToTraitCollection(const UITraitCollection& traits,
                                                       UIViewControllerTransitionCoordinator& coordinator) {
    for (const auto& child : std::vector(children_)) child->willTransitionToTraitCollection(traits, coordinator);
}

// Containment -----------------------------------------------------------------------------------------

void UIViewController::addChildViewController(const std::shared_ptr<UIViewController>& child) {
    if (!child) return;
    for (const UIViewController* c = this; c; c = c->parent_.lock().get()) {
        if (c == child.get()) return;  // a controller cannot contain itself or an ancestor
    }
    if (child->parent_.lock().get() == this) return;
    child->removeFromParentViewController();
    child->willMoveToParentViewController(this);
    children_.push_back(child);
    child->parent_ = weak_from_this();
}

void UIViewController::removeFromParentViewController() {
    auto parent = parent_.lock();
    if (!parent) return;
    auto keep = weak_from_this().lock();
    std::erase_if(parent->children_, [this](const auto& c) { return c.get() == this; });
    parent_.reset();
    didMoveToParentViewController(nullptr);
}

void UIViewController::setTitle(const std::string& title) {
    title_ = title;
    if (navigationItem_) navigationItem_->setTitle(title);
}

const std::shared_ptr<UINavigationItem>& UIViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = std::make_shared<UINavigationItem>(title_);
    return navigationItem_;
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const {
    for (auto c = parent_.lock(); c; c = c->parent_.lock()) {
        if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(c)) return navigation;
    }
    return nullptr;
}

UIViewController& UIViewController::outermost() {
    UIViewController* controller = this;
    while (auto parent = controller->parent_.lock()) controller = parent.get();
    return *controller;
}

// Segues -----------------------------------------------------------------------------------------------

void UIViewController::performSegueWithIdentifier(const std::string& identifier, const std::any& sender) {
    auto segue = storyboard_ ? storyboard_->segueFrom(shared_from_this(), sceneIdentifier_, identifier) : nullptr;
    if (!segue) {
        Console::print("No segue with identifier " + identifier);
        return;
    }
    prepareForSegue(*segue, sender);
    segue->perform();
}

// Presentation ----------------------------------------------------------------------------------------

std::shared_ptr<UIViewController> UIViewController::presentedViewController() const {
    return const_cast<UIViewController*>(this)->outermost().presented_;
}

std::shared_ptr<UIViewController> UIViewController::presentingViewController() const {
    return const_cast<UIViewController*>(this)->outermost().presenting_.lock();
}

std::shared_ptr<UIPresentationController> UIViewController::presentationController() const {
    return presentation_;
}

std::shared_ptr<UIPopoverPresentationController> UIViewController::popoverPresentationController() {
    if (modalPresentationStyle_ != UIModalPresentationStyle::popover) return nullptr;
    auto popover = std::dynamic_pointer_cast<UIPopoverPresentationController>(presentation_);
    if (!popover && !presenting_.lock()) {
        popover = std::make_shared<UIPopoverPresentationController>(shared_from_this());
        presentation_ = popover;
    }
    return popover;
}

void UIViewController::presentViewController(const std::shared_ptr<UIViewController>& controller, bool animated,
                                             std::function<void()> completion) {
    UIPresentationController::whenIdle([self = weak_from_this(), controller, animated, completion]() mutable {
        if (auto strong = self.lock()) strong->present(controller, animated, std::move(completion));
    });
}

void UIViewController::present(const std::shared_ptr<UIViewController>& controller, bool animated,
                               std::function<void()> completion) {
    auto presenter = outermost().weak_from_this().lock();
    if (!controller || !presenter || controller == presenter) return;
    if (presenter->presented_) {
        Console::print("Not presenting: the presenting controller already presents another");
        return;
    }
    if (controller->presenting_.lock() || controller->parent_.lock()) {
        Console::print("Not presenting: the controller is already presented or contained");
        return;
    }
    auto view = presenter->viewIfLoaded();
    if (!view || !view->window()) {
        Console::print("Not presenting: the presenting controller's view is not in a window");
        return;
    }
    auto presentation = controller->modalPresentationStyle_ == UIModalPresentationStyle::popover
                            ? controller->popoverPresentationController()
                            : nullptr;
    controller->presentation_ = presentation ? presentation : std::make_shared<UIPresentationController>(controller);
    presenter->presented_ = controller;
    controller->presenting_ = presenter;
    controller->beingPresented_ = true;
    controller->presentation_->present(presenter, animated, [controller, completion = std::move(completion)] {
        controller->beingPresented_ = false;
        if (completion) completion();
    });
}

void UIViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion) {
    UIPresentationController::whenIdle([self = weak_from_this(), animated, completion]() mutable {
        auto strong = self.lock();
        if (!strong) return;
        UIViewController& root = strong->outermost();
        if (root.presented_) return root.dismissPresented(animated, std::move(completion));
        if (auto presenting = root.presenting_.lock())
            presenting->dismissViewControllerAnimated(animated, std::move(completion));
    });
}

void UIViewController::dismissPresented(bool animated, std::function<void()> completion) {
    auto presented = presented_;
    presented->presentation_->dismiss(
        animated, [self = weak_from_this().lock(), presented, completion = std::move(completion)] {
            for (auto c = presented; c;) {
                auto next = std::exchange(c->presented_, nullptr);
                c->presenting_.reset();
                c->presentation_.reset();
                c = next;
            }
            if (self) self->presented_.reset();
            if (completion) completion();
        });
}

}  // namespace platform
